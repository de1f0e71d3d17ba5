// The consecutive send's messages as pure functions, and its frame over a fake main window.
#include "addressbook/consecutive_send.h"

#include <gtest/gtest.h>

#include "support/fake_main_window.h"

namespace parupo {
namespace {

using Records = std::vector<std::string>;
using Messages = std::vector<std::pair<std::string, std::string>>;  // subject, body at each send

const std::string kA = "甲\ta@x.jp\t090-1111-2222", kB = "乙\tb@x.jp", kC = "丙\tc@x.jp\t   ";
const std::string kBlockA = "甲\r\na@x.jp\r\n090-1111-2222\r\n\r\n", kBlockB = "乙\r\nb@x.jp\r\n\r\n",
                  kBlockC = "丙\r\nc@x.jp\r\n   \r\n";

// All at once through the book's menu over the real main window: BookWithMainWindow.
TEST(ConsecutiveSend, BuildsTheMessagesAndLeavesTheBoxes) {
  const struct {
    const char* name;
    Records picked;
    int n /* 0: one entry per message */;
    Messages messages;
    std::string subjectAfter, bodyAfter;
  } rows[] = {{"one_with_mobile", {kA}, 0, {{"甲", "a@x.jp\r\n090-1111-2222"}}, "甲", "a@x.jp\r\n090-1111-2222"},
              {"two_of_four_ends_on_a_full_message",
               {kA, kB, kC, kA},
               1,
               {{"アドレス一覧", kBlockA + kBlockB}, {"アドレス一覧", kBlockC + kBlockA}},
               "アドレス一覧",
               ""},
              {"two_nothing_picked", {}, 1, {}, "アドレス一覧", ""}};
  for (const auto& row : rows) {
    std::string subject = "前", body = "前";  // what stood in the boxes at each send
    Messages sent;
    for (const SendStep& s : row.n == 0 ? AdrsPooon(row.picked) : AdrsPiiin(row.picked, row.n)) {
      if (s.kind == SendStep::Subject) subject = s.text;
      if (s.kind == SendStep::Body) body = s.text;
      if (s.kind == SendStep::Send) sent.emplace_back(subject, body);
    }
    EXPECT_EQ(sent, row.messages) << row.name;
    EXPECT_EQ(subject, row.subjectAfter) << row.name;
    EXPECT_EQ(body, row.bodyAfter) << row.name;
  }
}

// A failed message does not stop the run; a stopped one ends it. The rest of a run (the program kept running,
// the options, caption and Check1 given back, a second run, a close asking): BookWithMainWindow and Form4Test.
TEST(ConsecutiveSendRun, GoesOnAfterAFailureAndEndsWhenStopped) {
  const struct {
    const char* name;
    SendOutcome outcome;
    std::size_t sends;
  } rows[] = {{"failed", SendOutcome::Failed, 2}, {"stopped", SendOutcome::Stopped, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::FakeMainWindow window;
    window.outcome = row.outcome;
    ConsecutiveRun run;
    runConsecutiveSend(window, run, AdrsPooon({kA, kB}), {});
    EXPECT_EQ(window.sent.size(), row.sends);
  }
}

}  // namespace
}  // namespace parupo
