// The size a message declares before it is sent is the number of bytes it then streams.
#include <gtest/gtest.h>

#include <string>

#include "mailapi/mime_writer.h"
#include "support/temp_folder.h"

namespace parupo::mail {
namespace {

MessageParts parts(std::string subject, std::string body, std::filesystem::path attachment = {}) {
  MessageParts p;
  p.from = {"山田太郎", "taro@example.jp"};
  p.to = {{"", "hanako@example.jp"}, {"Jiro", "jiro@example.jp"}};
  p.subject = std::move(subject);
  p.body = std::move(body);
  p.attachment = std::move(attachment);
  return p;
}

// Read in small uneven pieces, as libcurl may ask for them.
std::string streamed(MessageStream& m) {
  std::string out;
  char buffer[1000];
  while (std::size_t n = m.read(buffer, 997)) out.append(buffer, n);
  return out;
}

TEST(MessageSize, IsTheNumberOfBytesStreamed) {
  test::TempFolder dir;
  const std::size_t block = 57 * 1152;  // what is read from the file at a time
  const struct {
    const char* name;
    std::string subject, body;
    std::size_t fileBytes;  // npos: no attachment
  } rows[] = {
      {"empty", "", "", std::string::npos},
      {"japanese", "会議の件", "山田様\r\nよろしく。\r\n", std::string::npos},
      {"utf8-base64", "①㈱", std::string(3000, 'x') + "𠮷", std::string::npos},
      {"empty-file", "添付", "本文", 0},
      {"one-byte", "添付", "", 1},
      {"one-line", "a", "b", 57},
      {"line-and-one", "a", "b", 58},
      {"one-block", "a", "b", block},
      {"block-and-five", "a", "b", block + 5},
      {"three-blocks", "a", "b", 3 * block + 56},
  };
  for (const auto& row : rows) {
    std::filesystem::path file;
    if (row.fileBytes != std::string::npos) {
      file = dir / ("見積書 " + std::string(row.name) + ".pdf");
      std::string data(row.fileBytes, '\0');
      for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7919 % 251);
      test::writeBytes(file, data);
    }
    MessageStream m(parts(row.subject, row.body, file));
    ASSERT_TRUE(m.ok()) << row.name << ": " << m.error();
    const std::uint64_t declared = m.size();
    EXPECT_EQ(streamed(m).size(), declared) << row.name;
    EXPECT_TRUE(m.ok()) << row.name;
  }
}

TEST(MessageSize, AnAttachmentThatChangesAfterTheSizeWasTakenFailsInsteadOfGoingOutCut) {
  test::TempFolder dir;
  const std::string data(100000, 'a');
  for (const auto& [name, changed] : {std::pair{"grown", data + "more"}, std::pair{"shrunk", data.substr(0, 500)}}) {
    const auto file = dir / name;
    test::writeBytes(file, data);
    MessageStream m(parts("s", "b", file));
    ASSERT_TRUE(m.ok()) << name;
    test::writeBytes(file, changed);
    EXPECT_LE(streamed(m).size(), m.size()) << name;
    EXPECT_NE(m.error().find("添付ファイルが送信中に変更されました"), std::string::npos) << name << m.error();
  }
}

}  // namespace
}  // namespace parupo::mail
