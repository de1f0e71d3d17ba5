// Where one send stands, as one value: the stage it has reached, the question "送信を中止
// しますか？" while it is up, and what the user asked for meanwhile (to stop the send, to
// end the program once it is over). The captions a send shows are drawn from it. The main
// window feeds it what happens during a send (Esc, the close box, a signal to end, the
// answer to the question, the end of a mail call) and does what the answer says; the
// address book's consecutive send reads from it whether the user stopped.
//
// The rules, stage by stage:
// - Idle: the close box and a signal end the program at once. Esc (which only the book's
//   close brings here, between two messages of its run) asks; はい stops what comes next.
// - Checking mail, sending, sending the copy (a mail call may be running): Esc and the
//   close box ask whether to stop; a signal waits for the end of the send.
// - Telling the result (its message box may be up): nothing is asked any more; the close
//   box and a signal wait for the end of the send.
// An answer はい stops the send; asked by the close box, the program then ends right after
// the send, without the send's message box. いいえ lets the send go on; asked by the close
// box, the program still ends once the send is over, after its message box (closing never
// refuses). While the question is up a close is kept for the end of the send.
#pragma once

#include <string>

#include "send/send_window.h"

namespace parupo {

class SendStage {
 public:
  enum class Stage { Idle, CheckingMail, Sending, SendingCopy, TellingResult };
  enum class Event { Escape, CloseBox, EndSignal, Yes, No, CallEnds, CallFails };
  // What the caller does after an event: ask the question, or end the program now.
  struct Effect {
    bool ask = false;
    bool endNow = false;
  };

  // A send starts (a send started inside another one only adds to it): what the user asked
  // during an earlier send is forgotten. True for the outermost send.
  bool begin();
  // The send is over and the stage is Idle again. True when the program is to end now.
  [[nodiscard]] bool end();
  // The send's own steps: checking mail, sending, sending the copy; and the result it
  // tells (Sent, Failed or NotSent).
  void enter(Stage stage);
  void tell(SendOutcome result);

  Effect on(Event event);

  Stage stage() const { return stage_; }
  bool asking() const { return asking_ != Asked::No; }
  // The user chose to stop: nothing more is sent in this send.
  bool stopRequested() const { return stop_; }
  // The program ends once this send is over.
  bool endRequested() const { return end_; }
  // The program ends right after this send, whose failure then goes to error.txt
  // without a message box.
  bool quiet() const { return quiet_; }
  // How the send ended: stopped when the user chose so, else the result told.
  SendOutcome outcome() const { return stop_ ? SendOutcome::Stopped : result_; }
  // "受信チェック中", "送信中", "返信先へ送信中", the result's caption; "!ぱるぽ" when idle.
  std::string caption() const;

 private:
  enum class Asked { No, ByEscape, ByCloseBox };
  Effect ask(Asked by);
  void answer(bool stop);
  bool callStage() const;

  Stage stage_ = Stage::Idle;
  SendOutcome result_ = SendOutcome::Sent;
  Asked asking_ = Asked::No;
  int depth_ = 0;
  bool stop_ = false;
  bool end_ = false;
  bool quiet_ = false;
};

}  // namespace parupo
