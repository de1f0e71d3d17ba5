// No character is lost without a word in any data file: what the user edits (PP1.dat,
// PP4.dat, PPad.dat) refuses a character CP932 lacks and names it; what keeps the user's
// text for reading back (PP2.dat, the message logs, error.txt) keeps it as a reference
// that the program reads back; every CP932 character is written byte for byte.
#include <gtest/gtest.h>

#include "addressbook/address_book.h"
#include "core/settings_file.h"
#include "core/settings_store.h"
#include "logs/log_list.h"
#include "send/message_log.h"
#include "send/recipient_history.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

const std::string kCp932 = "花子 ①髙～ｱ\\ &#";  // NEC and IBM extensions, half-width kana, "\"
const std::string kRefused = "「♥𠮷」は保存できない文字です。別の文字にしてください。";

TEST(DataFiles, SettingsAndTheAddressBookRefuseWhatCp932LacksAndKeepTheRestByteForByte) {
  TempFolder folder;
  const Settings lacking[] = {{.replyTo = "♥ <me@x>", .popPassword = "𠮷♥"}, {.retentionDays = "3♥𠮷"}};
  for (const Settings& s : lacking) {
    EXPECT_EQ(unsavableSettings(s), kRefused);
    EXPECT_EQ(saveSettings(folder.path(), s), Lines{kRefused});
    EXPECT_FALSE(std::filesystem::exists(folder / "PP1.dat"));
    EXPECT_FALSE(std::filesystem::exists(folder / "PP4.dat"));
  }
  const Settings held{.replyTo = kCp932, .retentionDays = kCp932};
  EXPECT_EQ(saveSettings(folder.path(), held), Lines{});
  EXPECT_EQ(readBytes(folder / "PP1.dat"), crlf(settingsFileLines(held)));
  EXPECT_EQ(readBytes(folder / "PP4.dat"), cp932(kCp932) + "\r\n");

  AddressBook book;
  book.AdrsLoad(folder.path());  // no file: the main group alone
  const NodeId group = book.firstNode();
  NodeId made = kNoNode;
  EXPECT_EQ(book.registerEntry(group, "花子♥", "𠮷@x", "", &made), kRefused);
  EXPECT_EQ(book.createGroup("♥𠮷"), kRefused);
  EXPECT_EQ(book.registerEntry(group, "花子①髙～ｱ", kCp932, "", &made), "");
  EXPECT_EQ(book.update(made, "花子", "♥ <a@x>", "𠮷"), kRefused);
  EXPECT_EQ(book.AdrsSave(folder.path()), "");
  EXPECT_EQ(readBytes(folder / "PPad.dat"), crlf({"メイングループ", "花子①髙～ｱ\t" + kCp932}));
}

TEST(DataFiles, TheHistoryAndTheLogsKeepWhatCp932LacksAsReferencesAndReadThemBack) {
  TempFolder folder;
  const std::string typed = "♥ 花子 <a@x> &#x2665;";  // a heart, and a reference typed as such
  const std::string kept = "&#x2665; 花子 <a@x> &#x26;#x2665;";
  RecipientHistory history;
  history.promote(typed);
  history.promote(kCp932);
  ASSERT_EQ(history.save(folder / "PP2.dat"), "");
  EXPECT_EQ(readBytes(folder / "PP2.dat"), crlf({kCp932, kept, "", "", "", "", "", "", "", ""}));
  RecipientHistory restarted;
  restarted.load(*readTextLines(folder / "PP2.dat"));
  EXPECT_EQ(restarted.slot(0), kCp932);
  EXPECT_EQ(restarted.slot(1), typed);

  const SendVariables vars{
      .ReplyAdr = "自分♡ <me@x>", .SubjTxt = "𠮷野家", .BodyTxt = kCp932 + "\r\nゔ", .TnpPath = "/添付/é"};
  const std::string recipients = "花子♥ <a@x>, ü <b@x>";
  ASSERT_EQ(SaveLogX(folder / "log.txt", "", recipients, vars), "");
  ASSERT_EQ(SaveLogX(folder / "error.txt", "550 ♥\r\n", recipients, vars), "");
  const std::string logged = "宛先 : " + recipients + "\r\n返信 : 自分♡ <me@x>\r\n件名 : 𠮷野家\r\n本文 : \r\n" +
                             kCp932 + "\r\nゔ\r\n\r\n添付 : /添付/é\r\n";
  EXPECT_EQ(logText(folder / "log.txt"), "\r\n" + logged);
  EXPECT_EQ(logText(folder / "error.txt"), "550 ♥\r\n\r\n" + logged);
  EXPECT_EQ(readBytes(folder / "log.txt"), cp932("\r\n宛先 : 花子&#x2665; <a@x>, &#x00FC; <b@x>\r\n返信 : 自分&#x2661; "
                                                 "<me@x>\r\n件名 : &#x20BB7;野家\r\n本文 : \r\n" +
                                                 kCp932 + "\r\n&#x3094;\r\n\r\n添付 : /添付/&#x00E9;\r\n"));
  EXPECT_EQ(GetTo(folder / "log.txt"), (Lines{"a@x", "b@x"}));
}

}  // namespace
}  // namespace parupo
