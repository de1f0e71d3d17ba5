#include "mailapi/mime_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "mailapi/text_encoding.h"
#include "support/temp_folder.h"

namespace parupo::mail {
namespace {

std::string unbase64(std::string_view text) {
  std::string out;
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else continue;
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  return out;
}

// Decodes a list of encoded words the way a reader would, checking each on its own.
std::string decodeWords(const std::vector<std::string>& words) {
  std::string out;
  std::regex form(R"(=\?(ISO-2022-JP|UTF-8)\?B\?([A-Za-z0-9+/=]+)\?=)");
  for (const auto& w : words) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(w, m, form)) << w;
    EXPECT_LE(w.size(), 75u) << w;
    std::string raw = unbase64(m[2].str());
    if (m[1] == "ISO-2022-JP") {
      // Each word stands alone: it ends back in ASCII and decodes by itself.
      std::size_t lastEscape = raw.rfind('\x1b');
      if (lastEscape != std::string::npos) {
        EXPECT_EQ(raw.substr(lastEscape, 3), "\x1b(B") << w;
      }
      auto text = fromIso2022jp(raw);
      EXPECT_TRUE(text.has_value()) << w;
      out += text.value_or("");
    } else {
      EXPECT_EQ(sanitizeUtf8(raw), raw) << "word splits a character: " << w;
      out += raw;
    }
  }
  return out;
}

TEST(EncodedWords, LongJapaneseSubjectsSplitIntoCompleteShortWords) {
  std::string subject;
  for (int i = 0; i < 12; ++i) subject += "日本語の件名テスト、かなとカナ。ABC ";
  auto words = encodedWords(subject);
  ASSERT_GT(words.size(), 5u);
  for (const auto& w : words) EXPECT_TRUE(w.starts_with("=?ISO-2022-JP?B?")) << w;
  EXPECT_EQ(decodeWords(words), subject);

  // Windows forms go the JIS way; characters outside JIS X 0208 force UTF-8.
  EXPECT_EQ(decodeWords(encodedWords("１０～２０－")), "１０〜２０−");
  EXPECT_TRUE(encodedWords("～")[0].starts_with("=?ISO-2022-JP?B?"));
  for (std::string s : {"丸数字①", "髙橋", "𠮷野家", "ﾊﾝｶｸ", "絵文字😀👨‍👩‍👧"}) {
    std::string longer;
    for (int i = 0; i < 8; ++i) longer += s;
    auto w = encodedWords(longer);
    EXPECT_TRUE(w[0].starts_with("=?UTF-8?B?")) << s;
    EXPECT_EQ(decodeWords(w), longer);
  }
}

TEST(SubjectHeader, ControlCharactersNeverStartAHeader) {
  std::string h = subjectHeader("hello\r\nBcc: evil@example.com\nX: y");
  EXPECT_EQ(h, "Subject: hello  Bcc: evil@example.com X: y\r\n");
  std::string j = subjectHeader("件名\r\nBcc: evil@example.com");
  // Every line after the first is a continuation.
  std::size_t pos = 0;
  while ((pos = j.find("\r\n", pos)) != std::string::npos && pos + 2 < j.size()) {
    EXPECT_EQ(j[pos + 2], ' ');
    pos += 2;
  }
  EXPECT_TRUE(j.ends_with("\r\n"));
  // A long ASCII subject is folded before blanks; one that looks encoded is encoded.
  std::string longAscii;
  for (int i = 0; i < 30; ++i) longAscii += "word" + std::to_string(i) + " ";
  std::string folded = subjectHeader(longAscii);
  EXPECT_NE(folded.find("\r\n "), std::string::npos);
  for (std::size_t start = 0, end; (end = folded.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    EXPECT_LE(end - start, 78u);
  }
  EXPECT_NE(subjectHeader("=?UTF-8?B?x?=").find("?B?PT9"), std::string::npos);
}

TEST(EncodeBody, LineEndsAndTheLongLineLimit) {
  EXPECT_EQ(encodeBody("hello\n.dot\rend").content, "hello\r\n.dot\r\nend\r\n");
  EXPECT_EQ(encodeBody("x\r\n").content, "x\r\n");
  EXPECT_EQ(encodeBody("").content, "");
  // The limit counts the bytes on the wire: 498 kanji are 996 bytes of JIS but over
  // 998 once the escape sequences around them are added.
  std::string kanji;
  for (int i = 0; i < 498; ++i) kanji += "漢";
  auto jis = encodeBody(kanji);
  EXPECT_EQ(jis.charset, "ISO-2022-JP");
  EXPECT_EQ(jis.transferEncoding, "base64");
  EXPECT_EQ(fromIso2022jp(unbase64(jis.content)), kanji + "\r\n");
  EXPECT_EQ(encodeBody(kanji.substr(0, 3 * 400)).transferEncoding, "7bit");
  auto ascii = encodeBody(std::string(999, 'x'));
  EXPECT_EQ(ascii.transferEncoding, "base64");
  for (std::size_t s = 0, e; (e = ascii.content.find("\r\n", s)) != std::string::npos; s = e + 2) {
    EXPECT_LE(e - s, 76u);
  }
  EXPECT_EQ(encodeBody(std::string(998, 'x')).transferEncoding, "7bit");
}

TEST(MessageStream, AttachmentStreamsByteForByteAcrossBlockEdges) {
  test::TempFolder dir;
  std::mt19937 gen(7);
  // Sizes around the reader's block (57 * 1152 bytes) and line (57 bytes) edges.
  for (std::size_t size : {0ul, 1ul, 56ul, 57ul, 58ul, 65663ul, 65664ul, 65665ul, 200000ul}) {
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    auto path = dir / "資料 2024年度.bin";
    test::writeBytes(path, bytes);
    MessageParts parts;
    parts.from = "me@example.jp";
    parts.to = {"a@example.jp", "b@example.jp"};
    parts.subject = "添付";
    parts.body = "本文";
    parts.attachment = path;
    MessageStream stream(parts);
    ASSERT_TRUE(stream.ok()) << stream.error();
    std::string message = stream.readAll();
    ASSERT_TRUE(stream.ok());
    std::size_t start = message.find("\r\n\r\n", message.find("filename*"));
    std::size_t end = message.rfind("\r\n--");
    ASSERT_NE(start, std::string::npos);
    std::string b64 = message.substr(start + 4, end - start - 4);
    EXPECT_EQ(unbase64(b64), bytes) << size;
    for (std::size_t s = 0, e; (e = message.find("\r\n", s)) != std::string::npos; s = e + 2) {
      ASSERT_LE(e - s, 78u) << size;
    }
    EXPECT_TRUE(message.ends_with("--\r\n"));
  }
}

TEST(MessageStream, MissingAttachmentIsAReadableError) {
  test::TempFolder dir;
  MessageParts parts;
  parts.from = "me@example.jp";
  parts.to = {"a@example.jp"};
  parts.attachment = dir / "ない.txt";
  MessageStream stream(parts);
  EXPECT_FALSE(stream.ok());
  EXPECT_NE(stream.error().find("添付ファイルが見つかりません"), std::string::npos);
  EXPECT_NE(stream.error().find("ない.txt"), std::string::npos);
  char buf[10];
  EXPECT_EQ(stream.read(buf, sizeof buf), 0u);

  parts.attachment = dir.path();
  EXPECT_FALSE(MessageStream(parts).ok());
}

TEST(AttachmentHeaders, LongJapaneseNamesFoldIntoContinuations) {
  std::string name;
  for (int i = 0; i < 10; ++i) name += "とても長い日本語のファイル名";
  name += ".pdf";
  std::string h = attachmentHeaders(name);
  EXPECT_NE(h.find("filename*0*=UTF-8''"), std::string::npos);
  EXPECT_NE(h.find("filename*1*="), std::string::npos);
  EXPECT_NE(h.find("name=\"=?ISO-2022-JP?B?"), std::string::npos);
  // A line holding an encoded word may run to 83 characters (' name="' + 75 + '"').
  for (std::size_t s = 0, e; (e = h.find("\r\n", s)) != std::string::npos; s = e + 2) {
    EXPECT_LE(e - s, h.substr(s, 6) == " name=" ? 83u : 78u) << h.substr(s, e - s);
  }
  EXPECT_EQ(attachmentHeaders("report.pdf"),
            "Content-Type: application/octet-stream; name=\"report.pdf\"\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "Content-Disposition: attachment; filename=\"report.pdf\"\r\n");
  EXPECT_NE(attachmentHeaders("a\"b.txt").find("filename*=UTF-8''a%22b.txt"), std::string::npos);
}

}  // namespace
}  // namespace parupo::mail
