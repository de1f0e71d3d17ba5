#include "send/message_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace parupo {
namespace {

using test::readBytes;
using test::TempFolder;

// Labels in CP932.
const std::string kTo = "\x88\xb6\x90\xe6 : ";       // 宛先
const std::string kReply = "\x95\xd4\x90\x4d : ";    // 返信
const std::string kSubject = "\x8c\x8f\x96\xbc : ";  // 件名
const std::string kBody = "\x96\x7b\x95\xb6 : ";     // 本文
const std::string kAttach = "\x93\x59\x95\x74 : ";   // 添付

TEST(SaveLogX, WritesTheLayoutInCp932WithCrLf) {
  TempFolder folder;
  SendVariables vars;
  vars.ReplyAdr = "me@example.jp";
  vars.SubjTxt = "こんにちは";
  vars.BodyTxt = "A\r\n山田";
  vars.TnpPath = "/home/u/a b.pdf";
  ASSERT_EQ(SaveLogX(folder / "x.txt", "", "ta@example.jp\tme@example.jp", vars), "");
  EXPECT_EQ(readBytes(folder / "x.txt"),
            "\r\n" + kTo + "ta@example.jp\tme@example.jp\r\n" + kReply + "me@example.jp\r\n" +
                kSubject + "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\r\n" + kBody + "\r\n" +
                "A\r\n\x8e\x52\x93\x63\r\n\r\n" + kAttach + "/home/u/a b.pdf\r\n");

  // An empty body and no attachment: "本文 : ", two empty lines, "添付 : ".
  SendVariables empty;
  ASSERT_EQ(SaveLogX(folder / "y.txt", "", "", empty), "");
  EXPECT_EQ(readBytes(folder / "y.txt"), "\r\n" + kTo + "\r\n" + kReply + "\r\n" + kSubject +
                                             "\r\n" + kBody + "\r\n\r\n\r\n" + kAttach + "\r\n");

  // A body ending in a line break keeps that empty last line; lone LF becomes CR LF;
  // a second write replaces the file.
  vars.BodyTxt = "A\nB\r\n";
  ASSERT_EQ(SaveLogX(folder / "x.txt", "boom\r\n", "t", vars), "");
  const std::string bytes = readBytes(folder / "x.txt");
  EXPECT_EQ(bytes.substr(0, 8), "boom\r\n\r\n");
  EXPECT_NE(bytes.find(kBody + "\r\nA\r\nB\r\n\r\n\r\n" + kAttach), std::string::npos);
}

}  // namespace
}  // namespace parupo
