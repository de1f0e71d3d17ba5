// The consecutive send: the data of entries picked from the record list mailed through
// the main window's send, one entry per message or several. The messages are built by
// pure functions as a list of steps on the main window's boxes; running them drives the
// main window through its SendWindow only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "send/send_window.h"

namespace parupo {

// One thing done to the main window: set the subject box, set the body box, or send.
struct SendStep {
  enum Kind { Subject, Body, Send } kind;
  std::string text;  // the box's new text; empty for Send
  bool operator==(const SendStep&) const = default;
};

extern const char* const kAddressListSubject;  // "アドレス一覧"

// One message per picked record: subject its name, body its address, CR LF, its number.
std::vector<SendStep> AdrsPooon(const std::vector<std::string>& picked);
// A message after every n + 1 records (n = 1..4, or 9999 for "一括"), subject
// "アドレス一覧", each record a block of name, address and number lines ending in an
// empty line; the last message takes the rest.
std::vector<SendStep> AdrsPiiin(const std::vector<std::string>& picked, int n);

// One consecutive send while it runs: whether one is running, and the "送信後終了" and
// "件名を日付にする" the run took from the main window, to be given back when the run ends,
// or earlier when the program ends during the run. Whether the user stopped it is the
// send stage's to say.
struct ConsecutiveRun {
  bool running = false;
  bool closeWhenDone = false;  // the book closes once the run has ended
  bool quitAfterSendBefore = false;
  bool subjectIsDateBefore = false;
};

// Runs the steps through the window inside the run's frame: "送信後終了" and "件名を日付にする"
// off for the run (the subject of a message names its entry) and given back afterwards,
// Check1 on for the run and off at the end, the caption back
// to "!ぱるぽ" after each message (AdrsPuan). A message that was not sent does not stop
// the run; one the user stopped does, and so does a stop the send stage holds (closing the
// book answered はい) by the time `betweenMessages` has run after a message (the frame is
// still closed). Does nothing while `run` is running already.
void runConsecutiveSend(SendWindow& window, ConsecutiveRun& run, const std::vector<SendStep>& steps,
                        const std::function<void()>& betweenMessages = {});

// Gives the main window back the options the run took from it, so that what the program
// saves is the user's own choice; the subject box keeps what the run put there.
void giveBackOptions(SendWindow& window, const ConsecutiveRun& run);

}  // namespace parupo
