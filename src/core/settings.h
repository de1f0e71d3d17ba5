// The user's settings as the settings panel and the option menus hold them, with the
// program's defaults. Plain C++: Form1 copies its controls into a Settings and back;
// nothing else keeps a copy between uses.
#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"

namespace parupo {

// The main window's caption while nothing is under way.
inline constexpr const char* kProgramCaption = "!ぱるぽ";

// The retention field's text when no number of days has been set.
inline constexpr const char* kDefaultRetentionDays = "999";

// The main window's first outer size in twips; the settings panel shows at this size too.
inline constexpr double kDefaultWindowHeight = 5220;
inline constexpr double kDefaultWindowWidth = 4770;

// The reply-to submenu's entries, in menu order.
enum ReplyMode : int {
  ReplyDontSend = 0,  // "送らない"
  ReplySendCopy = 1,  // "コピーを送る"
  ReplyToDummy = 2,   // "ダミーに送る"
  ReplySeparate = 3,  // "別々に送る"
};
inline constexpr int kReplyModeCount = 4;
// No entry of the submenu is checked.
inline constexpr int NoReplyMode = -1;

// Whether `index` is one of the submenu's entries.
constexpr bool isReplyMode(int index) { return index >= ReplyDontSend && index <= ReplySeparate; }

struct Settings {
  // Settings panel fields.
  std::string smtpServer;                             // Text2
  std::string replyTo;                                // Text5
  std::string specificAddress;                        // Text6
  std::string dummyAddress;                           // Text7
  std::string popServer;                              // Text8
  std::string popUser;                                // Text9
  std::string popPassword;                            // Text10
  std::string retentionDays = kDefaultRetentionDays;  // Text11

  // Option menu check marks, design states.
  bool quitAfterSend = true;           // "送信後終了"
  bool startupAddress = false;         // "起動時特定アドレス"
  bool saveLog = false;                // "履歴を保存する"
  bool subjectIsDate = false;          // "件名を日付にする"
  bool historyByName = true;           // "履歴を名称で表示する"
  bool receiveFirst = false;           // "最初に受信処理を行う"
  int checkedReplyMode = NoReplyMode;  // the checked entry of "返信先に送信する"

  // Main window outer size in twips.
  double height = kDefaultWindowHeight;
  double width = kDefaultWindowWidth;

  // The subject "件名を日付にする" puts in at `now` (month, day, hour and minute); none
  // while the option is off.
  std::optional<std::string> dateSubject(const LocalDateTime& now) const {
    if (!subjectIsDate) return std::nullopt;
    return formatMonthDayTime(now);
  }

  // The mode a send follows: with no entry checked, nothing goes to the reply-to address.
  ReplyMode replyMode() const {
    return isReplyMode(checkedReplyMode) ? static_cast<ReplyMode>(checkedReplyMode) : ReplyDontSend;
  }
};

}  // namespace parupo
