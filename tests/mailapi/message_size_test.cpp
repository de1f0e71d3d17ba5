// A message streamed in small uneven pieces, as libcurl asks for it: the size declared
// beforehand is the number of bytes streamed, and the attachment, read block by block into
// one reused buffer, comes out as the base64 of the whole file whatever its size.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "mailapi/mime_writer.h"
#include "mailapi/text_encoding.h"
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

std::string streamed(MessageStream& m) {
  std::string out;
  char buffer[1000];
  while (std::size_t n = m.read(buffer, 997)) out.append(buffer, n);
  return out;
}

std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  const std::size_t end = start == std::string::npos ? start : text.find(to, start + from.size());
  return end == std::string::npos ? std::string() : text.substr(start + from.size(), end - start - from.size());
}

TEST(MessageStream, DeclaresItsSizeAndCarriesTheWholeAttachmentInBase64Lines) {
  test::TempFolder dir;
  constexpr std::size_t block = 57 * 1152;  // what is read from the file at a time
  const struct { const char* name; std::string subject, body; std::size_t fileBytes; } rows[] = {
      {"no-attachment", "", "", std::string::npos}, {"empty-file", "添付", "本文", 0}, {"one-byte", "添付", "", 1},
      {"line-and-one", "a", "b", 58}, {"block-less-one", "a", "b", block - 1}, {"block-and-one", "a", "b", block + 1},
      {"three-blocks", "a", "b", 3 * block + 100},
  };
  std::set<std::string> ids;
  for (const auto& row : rows) {
    std::filesystem::path file;
    std::string data;
    if (row.fileBytes != std::string::npos) {
      file = dir / "見積書.pdf";
      data.resize(row.fileBytes);
      for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7919 % 251);
      test::writeBytes(file, data);
    }
    MessageStream m(parts(row.subject, row.body, file));
    ASSERT_TRUE(m.ok()) << row.name << ": " << mailErrorText(m.failure().value_or(MailError{}));
    const std::uint64_t declared = m.size();
    const std::string message = streamed(m);
    EXPECT_EQ(message.size(), declared) << row.name;
    EXPECT_TRUE(m.ok()) << row.name;
    ids.insert(between(message, "Message-ID: ", "\r\n") + between(message, "boundary=\"", "\""));
    if (file.empty()) continue;
    const std::string encoded = between(message.substr(message.rfind("Content-Disposition")), "\r\n\r\n", "\r\n--");
    std::string joined;
    for (std::size_t pos = 0; pos < encoded.size();) {
      const std::size_t end = std::min(encoded.find("\r\n", pos), encoded.size());
      EXPECT_LE(end - pos, 76U) << row.name;
      joined += encoded.substr(pos, end - pos);
      pos = end + 2;
    }
    EXPECT_EQ(joined, base64(data)) << row.name;
  }
  EXPECT_EQ(ids.size(), std::size(rows)) << "every message has its own Message-ID and boundary";
}

TEST(MessageStream, AnAttachmentThatChangesAfterTheSizeWasTakenFailsInsteadOfGoingOutCut) {
  test::TempFolder dir;
  const std::string data(100000, 'a');
  for (const auto& [name, changed] : {std::pair{"grown", data + "more"}, std::pair{"shrunk", data.substr(0, 500)}}) {
    const auto file = dir / name;
    test::writeBytes(file, data);
    MessageStream m(parts("s", "b", file));
    ASSERT_TRUE(m.ok()) << name;
    test::writeBytes(file, changed);
    EXPECT_LE(streamed(m).size(), m.size()) << name;
    EXPECT_EQ(m.failure().value_or(MailError{}).kind, MailErrorKind::AttachmentChanged) << name;
  }
}

}  // namespace
}  // namespace parupo::mail
