#include "send/send_stage.h"

#include "core/settings.h"

namespace parupo {

bool SendStage::begin() {
  if (depth_++ > 0) return false;
  stop_ = end_ = quiet_ = false;
  result_ = SendOutcome::Sent;
  return true;
}

bool SendStage::end() {
  if (depth_ > 0 && --depth_ > 0) return false;
  stage_ = Stage::Idle;
  asking_ = Asked::No;
  const bool endNow = end_;
  end_ = quiet_ = false;
  return endNow;
}

void SendStage::enter(Stage stage) { stage_ = stage; }

void SendStage::tell(SendOutcome result) {
  stage_ = Stage::TellingResult;
  result_ = result;
}

bool SendStage::callStage() const {
  return stage_ == Stage::CheckingMail || stage_ == Stage::Sending || stage_ == Stage::SendingCopy;
}

SendStage::Effect SendStage::ask(Asked by) {
  if (asking()) return {};
  asking_ = by;
  return {.ask = true};
}

void SendStage::answer(bool stop) {
  if (!asking()) return;
  const bool byCloseBox = asking_ == Asked::ByCloseBox;
  asking_ = Asked::No;
  stop_ = stop_ || stop;
  end_ = end_ || byCloseBox;
  quiet_ = quiet_ || (byCloseBox && stop);
}

SendStage::Effect SendStage::on(Event event) {
  switch (event) {
    case Event::Escape: return stage_ == Stage::TellingResult ? Effect{} : ask(Asked::ByEscape);
    case Event::CloseBox:
      if (stage_ == Stage::Idle) return {.endNow = true};
      if (callStage() && !asking()) return ask(Asked::ByCloseBox);
      end_ = true;
      return {};
    case Event::EndSignal:
      if (stage_ == Stage::Idle) return {.endNow = true};
      end_ = true;
      return {};
    case Event::Yes:
    case Event::No: answer(event == Event::Yes); return {};
    case Event::CallEnds:
    case Event::CallFails:
      if (stage_ == Stage::CheckingMail) {
        stage_ = Stage::Sending;  // what the check finds never stops the send
      } else if (stage_ == Stage::Sending || stage_ == Stage::SendingCopy) {
        tell(event == Event::CallEnds ? SendOutcome::Sent : stop_ ? SendOutcome::Stopped : SendOutcome::Failed);
      }
      return {};
  }
  return {};
}

std::string SendStage::caption() const {
  switch (stage_) {
    case Stage::Idle: return kProgramCaption;
    case Stage::CheckingMail: return "受信チェック中";
    case Stage::Sending: return "送信中";
    case Stage::SendingCopy: return "返信先へ送信中";
    case Stage::TellingResult: break;
  }
  switch (result_) {
    case SendOutcome::Sent: return "送信完了";
    case SendOutcome::NotSent: return kProgramCaption;
    case SendOutcome::Stopped: return "送信中止";
    case SendOutcome::Failed: break;
  }
  return "送信エラー";
}

}  // namespace parupo
