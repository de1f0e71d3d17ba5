// The user's settings as the settings panel and the option menus hold them, and the
// two settings files PP1.dat and PP4.dat. Plain C++: Form1 copies its controls into a
// Settings and back; nothing else keeps a copy between uses.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parupo {

// The reply-to submenu: index of the checked item, or NoReplyMode when none is.
enum ReplyMode : int {
  NoReplyMode = -1,
  ReplyDontSend = 0,   // "送らない"
  ReplySendCopy = 1,   // "コピーを送る"
  ReplyToDummy = 2,    // "ダミーに送る"
  ReplySeparate = 3,   // "別々に送る"
};

struct Settings {
  // Settings panel fields.
  std::string smtpServer;        // Text2
  std::string replyTo;           // Text5
  std::string specificAddress;   // Text6
  std::string dummyAddress;      // Text7
  std::string popServer;         // Text8
  std::string popUser;           // Text9
  std::string popPassword;       // Text10
  std::string retentionDays = "999";  // Text11

  // Option menu check marks (Sup indexes in comments), design states.
  bool quitAfterSend = true;     // Sup(3) "送信後終了"
  bool startupAddress = false;   // Sup(5) "起動時特定アドレス"
  bool saveLog = false;          // Sup(6) "履歴を保存する"
  bool subjectIsDate = false;    // Sup(7) "件名を日付にする"
  bool historyByName = true;     // Sup(8) "履歴を名称で表示する"
  bool receiveFirst = false;     // Sup(9) "最初に受信処理を行う"
  int replyMode = NoReplyMode;   // Sup2

  // Main window outer size in twips.
  double height = 5220;
  double width = 4770;
};

}  // namespace parupo
