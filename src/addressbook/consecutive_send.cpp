#include "addressbook/consecutive_send.h"

#include "addressbook/address_book.h"
#include "core/settings.h"
#include "platform/text_util.h"
#include "send/send_stage.h"

namespace parupo {

const char* const kAddressListSubject = "アドレス一覧";

namespace {

const char* const kCrLf = "\r\n";

}  // namespace

std::vector<SendStep> AdrsPooon(const std::vector<std::string>& picked) {
  std::vector<SendStep> steps;
  for (const std::string& record : picked) {
    const std::vector<std::string> f = recordFields(record);
    steps.push_back({SendStep::Subject, f[0]});
    steps.push_back({SendStep::Body, f[1] + kCrLf + f[2]});
    steps.push_back({SendStep::Send, {}});
  }
  return steps;
}

std::vector<SendStep> AdrsPiiin(const std::vector<std::string>& picked, int n) {
  std::vector<SendStep> steps{{SendStep::Subject, kAddressListSubject}, {SendStep::Body, {}}};
  std::string body;
  int k = 0;
  for (const std::string& record : picked) {
    const std::vector<std::string> f = recordFields(record);
    body += f[0] + kCrLf + f[1] + kCrLf + f[2] + kCrLf;
    if (!trimBlanks(f[2]).empty()) body += kCrLf;
    if (k == n) {
      steps.push_back({SendStep::Body, body});
      steps.push_back({SendStep::Send, {}});
      k = 0;
      body.clear();
      steps.push_back({SendStep::Body, {}});
    } else {
      ++k;
    }
  }
  if (k > 0) {
    steps.push_back({SendStep::Body, body});
    steps.push_back({SendStep::Send, {}});
  }
  return steps;
}

void runConsecutiveSend(SendWindow& window, ConsecutiveRun& run, const std::vector<SendStep>& steps,
                        const std::function<void()>& betweenMessages) {
  if (run.running) return;
  const Settings before = window.settings();
  run = {.running = true, .quitAfterSendBefore = before.quitAfterSend, .subjectIsDateBefore = before.subjectIsDate};
  window.setQuitAfterSend(false);
  window.setSubjectIsDate(false);
  window.setNoCopy(true);
  for (const SendStep& step : steps) {
    if (step.kind == SendStep::Subject) {
      window.setSubject(step.text);
    } else if (step.kind == SendStep::Body) {
      window.setBody(step.text);
    } else {
      // A message that was not sent is passed over; one the user stopped ends the run.
      const SendOutcome outcome = window.send();
      window.setCaption(kProgramCaption);
      if (betweenMessages) betweenMessages();
      if (outcome == SendOutcome::Stopped || window.sendStage().stopRequested()) break;
    }
  }
  giveBackOptions(window, run);
  window.setNoCopy(false);
  run.running = false;
}

void giveBackOptions(SendWindow& window, const ConsecutiveRun& run) {
  window.setQuitAfterSend(run.quitAfterSendBefore);
  window.setSubjectIsDate(run.subjectIsDateBefore);
}

}  // namespace parupo
