// Every stage of a send against every event that can reach it: where the send goes next,
// whether the question is asked, the caption, when the program ends, whether the send's
// message box is left out, and whether the send ends as stopped.
#include "send/send_stage.h"

#include <gtest/gtest.h>

#include <vector>

namespace parupo {
namespace {

using Stage = SendStage::Stage;
using Event = SendStage::Event;
enum class End { Never, Now, AfterTheSend };

constexpr Stage I = Stage::Idle, C = Stage::CheckingMail, S = Stage::Sending, SC = Stage::SendingCopy,
                T = Stage::TellingResult;
constexpr End no = End::Never, now = End::Now, after = End::AfterTheSend;
const std::vector<Event> esc{Event::Escape}, close{Event::CloseBox}, term{Event::EndSignal},
    escYes{Event::Escape, Event::Yes}, escNo{Event::Escape, Event::No}, closeYes{Event::CloseBox, Event::Yes},
    closeNo{Event::CloseBox, Event::No}, ends{Event::CallEnds}, fails{Event::CallFails};

// A send that has reached `stage`; one that tells its result tells a failure.
void reach(SendStage& s, Stage stage) {
  if (stage == I) return;
  s.begin();
  stage == T ? s.tell(SendOutcome::Failed) : s.enter(stage);
}

struct Row {
  const char* name;
  Stage from;
  std::vector<Event> events;
  Stage next;
  bool asks;
  const char* caption;
  End end;
  bool quiet, stopped;
};
const Row kRows[] = {
    // Idle: the book's run between two messages asks; a close or a signal ends at once.
    {"idle_esc", I, esc, I, true, "!ぱるぽ", no, false, false},
    {"idle_close", I, close, I, false, "!ぱるぽ", now, false, false},
    {"idle_sigterm", I, term, I, false, "!ぱるぽ", now, false, false},
    {"idle_esc_yes_stops_the_next_message", I, escYes, I, true, "!ぱるぽ", no, false, true},
    {"idle_esc_no", I, escNo, I, true, "!ぱるぽ", no, false, false},
    {"idle_close_asks_nothing", I, closeYes, I, false, "!ぱるぽ", now, false, false},
    {"idle_close_no", I, closeNo, I, false, "!ぱるぽ", now, false, false},
    {"idle_call_ends", I, ends, I, false, "!ぱるぽ", no, false, false},
    {"idle_call_fails", I, fails, I, false, "!ぱるぽ", no, false, false},
    // Checking mail: its outcome never stops the send.
    {"checking_esc", C, esc, C, true, "受信チェック中", no, false, false},
    {"checking_close", C, close, C, true, "受信チェック中", no, false, false},
    {"checking_sigterm", C, term, C, false, "受信チェック中", after, false, false},
    {"checking_esc_yes", C, escYes, C, true, "受信チェック中", no, false, true},
    {"checking_esc_no", C, escNo, C, true, "受信チェック中", no, false, false},
    {"checking_close_yes", C, closeYes, C, true, "受信チェック中", after, true, true},
    {"checking_close_no_still_closes", C, closeNo, C, true, "受信チェック中", after, false, false},
    {"checking_call_ends", C, ends, S, false, "送信中", no, false, false},
    {"checking_call_fails", C, fails, S, false, "送信中", no, false, false},
    // Sending.
    {"sending_esc", S, esc, S, true, "送信中", no, false, false},
    {"sending_close", S, close, S, true, "送信中", no, false, false},
    {"sending_sigterm", S, term, S, false, "送信中", after, false, false},
    {"sending_esc_yes", S, escYes, S, true, "送信中", no, false, true},
    {"sending_esc_no", S, escNo, S, true, "送信中", no, false, false},
    {"sending_close_yes", S, closeYes, S, true, "送信中", after, true, true},
    {"sending_close_no_still_closes", S, closeNo, S, true, "送信中", after, false, false},
    {"sending_call_ends", S, ends, T, false, "送信完了", no, false, false},
    {"sending_call_fails", S, fails, T, false, "送信エラー", no, false, false},
    // Sending the copy.
    {"copy_esc", SC, esc, SC, true, "返信先へ送信中", no, false, false},
    {"copy_close", SC, close, SC, true, "返信先へ送信中", no, false, false},
    {"copy_sigterm", SC, term, SC, false, "返信先へ送信中", after, false, false},
    {"copy_esc_yes", SC, escYes, SC, true, "返信先へ送信中", no, false, true},
    {"copy_esc_no", SC, escNo, SC, true, "返信先へ送信中", no, false, false},
    {"copy_close_yes", SC, closeYes, SC, true, "返信先へ送信中", after, true, true},
    {"copy_close_no_still_closes", SC, closeNo, SC, true, "返信先へ送信中", after, false, false},
    {"copy_call_ends", SC, ends, T, false, "送信完了", no, false, false},
    {"copy_call_fails", SC, fails, T, false, "送信エラー", no, false, false},
    // Telling the result: nothing is asked; a close or a signal waits for its box.
    {"telling_esc", T, esc, T, false, "送信エラー", no, false, false},
    {"telling_close", T, close, T, false, "送信エラー", after, false, false},
    {"telling_sigterm", T, term, T, false, "送信エラー", after, false, false},
    {"telling_esc_yes", T, escYes, T, false, "送信エラー", no, false, false},
    {"telling_esc_no", T, escNo, T, false, "送信エラー", no, false, false},
    {"telling_close_yes", T, closeYes, T, false, "送信エラー", after, false, false},
    {"telling_close_no", T, closeNo, T, false, "送信エラー", after, false, false},
    {"telling_call_ends", T, ends, T, false, "送信エラー", no, false, false},
    {"telling_call_fails", T, fails, T, false, "送信エラー", no, false, false},
    // Two requests in one send.
    {"sent_before_the_stop_ends_as_stopped",
     S,
     {Event::Escape, Event::Yes, Event::CallEnds},
     T,
     true,
     "送信完了",
     no,
     false,
     true},
    {"stopped_call_fails", S, {Event::Escape, Event::Yes, Event::CallFails}, T, true, "送信中止", no, false, true},
    {"sigterm_then_esc_yes_keeps_the_box",
     S,
     {Event::EndSignal, Event::Escape, Event::Yes},
     S,
     true,
     "送信中",
     after,
     false,
     true},
    {"close_while_asked_is_kept",
     S,
     {Event::Escape, Event::CloseBox, Event::No},
     S,
     true,
     "送信中",
     after,
     false,
     false},
    {"one_question_at_a_time", S, {Event::Escape, Event::Escape}, S, true, "送信中", no, false, false},
};

TEST(SendStage, EveryStageAnswersEveryEvent) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    SendStage stage;
    reach(stage, row.from);
    bool asked = false, endedNow = false;
    for (const Event event : row.events) {
      const SendStage::Effect effect = stage.on(event);
      asked = asked || effect.ask;
      endedNow = endedNow || effect.endNow;
    }
    EXPECT_EQ(stage.stage(), row.next);
    EXPECT_EQ(asked, row.asks);
    EXPECT_EQ(stage.caption(), row.caption);
    EXPECT_EQ(stage.quiet(), row.quiet);
    EXPECT_EQ(stage.outcome() == SendOutcome::Stopped, row.stopped);
    const bool endsAfter = stage.end();
    EXPECT_EQ(endedNow ? now : endsAfter ? after : no, row.end);
  }
}

// A stop is kept once the send is over, for the book's run to read, and forgotten when the
// next send begins.
TEST(SendStage, ANewSendForgetsTheLastOnesRequests) {
  SendStage stage;
  reach(stage, S);
  stage.on(Event::CloseBox), stage.on(Event::Yes);
  EXPECT_TRUE(stage.end());
  EXPECT_TRUE(stage.stopRequested());
  EXPECT_EQ(stage.stage(), I);
  EXPECT_TRUE(stage.begin());
  EXPECT_FALSE(stage.stopRequested());
  EXPECT_FALSE(stage.begin());  // a send inside it only adds to it
  stage.tell(SendOutcome::NotSent);
  EXPECT_EQ(stage.caption(), "!ぱるぽ");
  EXPECT_FALSE(stage.end());
  EXPECT_FALSE(stage.end());
}

}  // namespace
}  // namespace parupo
