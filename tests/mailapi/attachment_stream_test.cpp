// The attachment's base64 is written block by block into one reused buffer: whatever
// the file's size relative to a line or a block, the lines join up to the base64 of
// the whole file.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "mailapi/mime_writer.h"
#include "mailapi/text_encoding.h"
#include "support/temp_folder.h"

namespace parupo::mail {
namespace {

std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(to, start + from.size());
  return end == std::string::npos ? std::string() : text.substr(start + from.size(), end - start - from.size());
}

TEST(AttachmentStream, LinesOfEveryFileSizeJoinToTheBase64OfTheWholeFile) {
  test::TempFolder folder;
  std::mt19937 bytes(7);
  constexpr std::size_t kBlock = 57 * 1152;  // the bytes read from the file at a time
  std::set<std::string> ids;
  for (std::size_t size : {0UL, 1UL, 2UL, 56UL, 57UL, 58UL, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 100}) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(bytes());
    const auto path = folder / "data.bin";
    test::writeBytes(path, data);

    MessageParts parts;
    parts.from = {"", "taro@example.jp"};
    parts.to = {{"", "hanako@example.jp"}};
    parts.attachment = path;
    MessageStream stream(std::move(parts));
    ASSERT_TRUE(stream.ok()) << stream.error();
    std::string message;
    char buffer[65536];
    while (std::size_t n = stream.read(buffer, sizeof buffer)) message.append(buffer, n);
    ids.insert(between(message, "Message-ID: ", "\r\n") + between(message, "boundary=\"", "\""));

    const std::string encoded = between(message, "filename=\"data.bin\"\r\n\r\n", "\r\n--");
    std::string joined;
    for (std::size_t pos = 0; pos < encoded.size();) {
      std::size_t end = encoded.find("\r\n", pos);
      if (end == std::string::npos) end = encoded.size();
      EXPECT_LE(end - pos, 76U) << size;
      joined += encoded.substr(pos, end - pos);
      pos = end + 2;
    }
    EXPECT_EQ(joined, base64(data)) << size;
  }
  EXPECT_EQ(ids.size(), 10U) << "every message has its own Message-ID and boundary";
}

}  // namespace
}  // namespace parupo::mail
