// What the process sets about itself before anything else runs: the user's passwords and
// mails in its memory stay out of core files and out of other processes' reach, and a
// connection that breaks never ends it by a signal.
#pragma once

#include <string>
#include <vector>

namespace parupo {

// Set once at the very start of main, before any thread exists (a thread takes the
// signal dispositions of that moment):
// - core dumps off (soft and hard limit zero, which the system's crash collectors honour);
// - SIGPIPE ignored: a write to a connection the server (or a stop) has cut returns an
//   error, instead of killing the program with the mail being typed. libcurl does not
//   ignore it for us, as it is told not to touch signals;
// - the process not dumpable: no other process of the user may read its memory
//   (ptrace, /proc/PID/mem) and no crash collector keeps it. Only a test run leaves
//   that off, by setting PARUPO_TEST_DUMPABLE=1 in the program's environment, so that
//   an end-to-end test that is not root can look at the running program in /proc.
// `testDumpable` is that variable's value (null when unset). Returns what the system
// refused, one sentence each, for the program's error output; nothing when all is set.
[[nodiscard]] std::vector<std::string> guardProcess(const char* testDumpable);

}  // namespace parupo
