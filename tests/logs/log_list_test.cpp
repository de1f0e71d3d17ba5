#include "logs/log_list.h"

#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using namespace test;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

void writeLog(const fs::path& file, const std::string& recipient) {
  ASSERT_EQ(writeTextLines(file, {"", "宛先 : " + recipient, "返信 : me@x", "件名 : s", "本文 : ", "", "", "添付 : "}), "");
}

// A name with its address, and several addresses, are proven by the viewer's window test.
TEST(GetTo, TakesTheAddressOutOfTheRecipientLine) {
  const struct { const char* name; Lines lines; std::string recipient; } rows[] = {
      {"> before <", {"", "宛先 : a>b<c>"}, "a"},
      {"< without >", {"", "宛先 : Taro <abc"}, "Taro <abc"},
      {"a comma on the first line", {"skip,宛先 : y", "宛先 : z"}, "y"},
      {"one line only", {""}, ""},
  };
  for (const auto& r : rows) EXPECT_EQ(recipientFromLines(r.lines), r.recipient) << r.name;
  EXPECT_EQ(recipientFromLines({"", "宛先 : 自分 <Me@x>\tme@x"}, {"me@x", ""}), "Me@x");  // to oneself alone

  TempFolder folder;
  writeBytes(folder / "lf.txt", cp932("\n宛先 : lf@example.jp\nrest\n"));  // CP932, line feeds only
  EXPECT_EQ(GetTo(folder / "lf.txt"), "lf@example.jp");
  writeBytes(folder / "cr.txt", std::string(5000, ' ') + cp932("\r宛先 : cr@x"));  // long line, lone CR
  EXPECT_EQ(GetTo(folder / "cr.txt"), "cr@x");
  writeBytes(folder / "split.txt", std::string(511, ' ') + cp932("\r\n宛先 : split@x\r\n"));  // CR LF across reads
  EXPECT_EQ(GetTo(folder / "split.txt"), "split@x");
  EXPECT_EQ(GetTo(folder / "missing.txt"), "");
  EXPECT_EQ(logText(folder / "missing.txt"), "");
  EXPECT_EQ(logText(folder / "lf.txt"), "\r\n宛先 : lf@example.jp\r\nrest\r\n");
}

TEST(RecipientMenu, TenMostRecentDistinctRecipientsNewestFirst) {
  Lines twelve;
  for (char c = 'a'; c < 'a' + 12; ++c) twelve.push_back({c});
  EXPECT_EQ(recentRecipients(twelve), (Lines{"l", "k", "j", "i", "h", "g", "f", "e", "d", "c"}));
  EXPECT_EQ(recentRecipients({"A", "a", "", "a", "b", ""}), (Lines{"b", "a", "A"}));
}

// Filtering by a recipient is proven by the viewer's window test.
TEST(LogList, ListsTxtFilesNewestFirstAndReadsRecipientsOnce) {
  TempFolder folder;
  writeLog(folder / "20240106-0800-00.txt", "abc");
  writeLog(folder / "20240105-0930-00.txt", "abc");
  writeLog(folder / "20240105-0930-00_002.txt", "def");
  writeLog(folder / "20240107-0000-00.TXT", "def");
  writeLog(folder / "20231231-2359-59.log", "ghi");  // never listed, nor the next two
  writeLog(folder / ".hidden.txt", "ghi");
  fs::create_directory(folder / "folder.txt");
  writeBytes(folder / "short.txt", "\r\n");  // one line: no recipient

  LogList logs(folder.path());
  EXPECT_EQ(logs.newestFirst(), (Lines{"short.txt", "20240107-0000-00.TXT", "20240106-0800-00.txt",
                                       "20240105-0930-00_002.txt", "20240105-0930-00.txt"}));
  EXPECT_EQ(logs.recipient(2), "abc");
  EXPECT_EQ(logs.recipient(99), "");
  EXPECT_EQ(logs.recipientMenu(), (Lines{"def", "abc"}));
  EXPECT_EQ(logs.newestFirstTo(""), (Lines{"short.txt"}));
  writeLog(folder / "20240106-0800-00.txt", "new@x");  // the menu stays as it was shown
  EXPECT_EQ(logs.recipientMenu(), (Lines{"def", "abc"}));
  EXPECT_TRUE(LogList(folder / "none").names().empty());
}

}  // namespace
}  // namespace parupo
