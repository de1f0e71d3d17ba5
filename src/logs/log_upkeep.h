// The upkeep of the program's files at start-up: the daily backup copy of each data file
// (`BakDat`) and the deletion of old message logs. Plain C++; neither reports anything:
// a step that fails is skipped and tried again at the next start.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace parupo {

// --- Daily backup ------------------------------------------------------------------------

// The backup of a data file: its path with the last character replaced by "$"
// (PP1.dat -> PP1.da$, PPad.dat -> PPad.da$).
std::filesystem::path backupPath(const std::filesystem::path& dataFile);

// Whether the backup is renewed: the data file was last changed on an earlier day than
// today (local calendar days), or `force` is 1. Any other force value, 0 included,
// leaves it to the dates, so a file changed today, or in the future, keeps the backup
// of an earlier day.
bool backupDue(const LocalDateTime& modified, const LocalDateTime& now, int force);

// BakDat: when `dataFile` is an ordinary file and the backup is due, copies it byte for
// byte to its backup path. The copy goes to a temporary file that is renamed over the old
// backup, so an interruption never leaves a data file without a backup; the backup gets
// the data file's permissions (PP1.dat's password stays private). A missing data file
// leaves its old backup alone; a failing copy leaves it too.
void BakDat(const std::filesystem::path& dataFile, int force, const LocalDateTime& now);

// Start-up: BakDat without force for PP1.dat, PP2.dat, PP3.dat, PP4.dat and PPad.dat in
// the program folder, in this order, before any of them is read. Never reports anything.
void makeDailyBackups(const std::filesystem::path& programFolder, const LocalDateTime& now);

// --- Privacy ------------------------------------------------------------------------------

// Start-up: every file the program keeps in `programFolder` (the data files and their
// backups, naisho.txt, error.txt, the folder "log" and the logs in it) is made the user's
// alone (makeOwnerOnly), also when it was copied in with wider permissions: the backup
// of PP1.dat holds the password, the logs whole mails. A "log" that is a symbolic link
// is the user's choice of place: neither it nor anything in it is touched, and no link
// is ever followed. Failures are skipped silently.
void makeFilesPrivate(const std::filesystem::path& programFolder);

// --- Log ageing --------------------------------------------------------------------------

// The day number of a local date and time: whole days since 30 December 1899, with a
// time of day from 12:00 on counting as the next day (the serial day rounded to the
// nearest whole number, halves up).
long dayNumber(const LocalDateTime& t);

// The age in days of a file last changed at `modified`, seen at `now`: the difference of
// their day numbers. A file from the future has a negative age.
long fileAge(const LocalDateTime& modified, const LocalDateTime& now);

// Start-up, when PP4.dat exists: deletes every ordinary file of the folder "log" in the
// program folder whose age is greater than `retentionDays` (strictly), whatever its
// extension. Hidden files (names beginning with "."), folders and symbolic links are
// never candidates, so the ageing never deletes a folder nor reaches outside the log
// folder; a file whose time cannot be read stays. Every failure is skipped silently and
// the file is tried again at the next start. The folder "log" itself may be a symbolic
// link: the user put the logs there.
void ageLogs(const std::filesystem::path& programFolder, double retentionDays, const LocalDateTime& now);
// The same with the retention field's text as start-up has just set it from PP4.dat
// (loadRetentionDays), read as a number: its leading numeric part, 0 without one.
void ageLogs(const std::filesystem::path& programFolder, std::string_view retentionField, const LocalDateTime& now);

}  // namespace parupo
