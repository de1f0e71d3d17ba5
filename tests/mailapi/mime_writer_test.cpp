// The MIME writer: its header words read back by the strict reader in tests/support, and a
// message streamed in small uneven pieces, as libcurl asks for it.
#include "mailapi/mail_headers.h"
#include "mailapi/mime_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <set>

#include "support/mime_reader.h"
#include "support/temp_folder.h"

namespace parupo::mail {
namespace {

std::size_t longestLine(const std::string& header) {
  std::size_t longest = 0, start = 0;
  for (std::size_t end; (end = header.find("\r\n", start)) != std::string::npos; start = end + 2)
    longest = std::max(longest, end - start);
  return longest;
}

std::string repeated(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

TEST(HeaderWords, SubjectsReadBackAsTypedInWordsOfAtMost75Characters) {
  const struct {
    const char *name, *charset;
    std::string subject, shown = "";
  } rows[] = {
      // shown: as typed
      {"Japanese ends in ASCII", "ISO-2022-JP", "会議のお知らせ（第２回）"},
      {"Windows forms as JIS holds them", "ISO-2022-JP", "10～12時－∥￠￡", "10〜12時−‖¢£"},
      {"outside JIS X 0208 goes UTF-8", "UTF-8", "①髙"},
      {"long UTF-8 cut between characters", "UTF-8", repeated("①𠮷", 30)},
      {"UTF-8 words on whole 3-byte groups", "UTF-8", "絵文字 🎉 と 𠮷野家 と ﾊﾝｶｸ"},
      {"ISO-2022-JP in 75-character words on whole 3-byte groups", "ISO-2022-JP",
       repeated("2026年3月の会議について（ご案内）", 3)},
      {"no UTF-8 word ends on a group: Q", "UTF-8", "🎉🎉" + repeated("①", 30)},
      {"no ISO-2022-JP word ends on a group: Q", "ISO-2022-JP", "aa" + repeated("漢a", 20)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string header = subjectHeader(row.subject);
    EXPECT_NE(header.find(std::string("=?") + row.charset + "?B?"), std::string::npos) << header;
    EXPECT_LE(longestLine(header), 76u) << header;
    try {  // a refusal reports its row, and the other rows still run
      EXPECT_EQ(test::decodeWords(test::readEntity(header + "\r\n").value("Subject")),
                row.shown.empty() ? row.subject : row.shown);
    } catch (const test::MimeError& refused) {
      ADD_FAILURE() << refused.what();
    }
  }
}

TEST(HeaderWords, AttachmentNamesReadBackFromTheEncodedNameAndTheRfc2231Filename) {
  const struct {
    const char *name, *file, *shown;
  } rows[] = {
      {"plain ASCII", "report.pdf", "report.pdf"},
      {"Japanese with blanks", "報告書 2026年3月.xlsx", "報告書 2026年3月.xlsx"},
      {"quotes, semicolons and percent", "a \"b\"; 100%.txt", "a \"b\"; 100%.txt"},
      {"long name in filename* pieces", "資料～その一の二の三の四の五の六の七の八の九の十.pdf",
       "資料〜その一の二の三の四の五の六の七の八の九の十.pdf"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string headers = attachmentHeaders(row.file);
    const test::Entity read = test::readEntity(headers + "\r\n");
    EXPECT_LE(longestLine(headers), 78u) << headers;
    EXPECT_EQ(test::decodeWords(test::parameter(read.value("Content-Type"), "name")), row.shown);
    EXPECT_EQ(test::parameter(read.value("Content-Disposition"), "filename"), row.file);
  }
}

MessageParts parts(std::string subject, std::string body, std::filesystem::path attachment = {}) {
  return {.from = {"山田太郎", "taro@example.jp"},
          .to = {{"", "hanako@example.jp"}, {"Jiro", "jiro@example.jp"}},
          .subject = std::move(subject),
          .body = std::move(body),
          .attachment = std::move(attachment)};
}

std::string streamed(MessageStream& m) {
  std::string out;
  char buffer[1000];
  while (std::size_t n = m.read(buffer, 997)) out.append(buffer, n);
  return out;
}

TEST(MessageStream, DeclaresItsSizeAndCarriesTheWholeAttachmentInBase64Lines) {
  test::TempFolder dir;
  constexpr std::size_t block = 57 * 1152;  // what is read from the file at a time
  const struct {
    const char* name;
    std::string subject, body;
    std::size_t fileBytes;
  } rows[] = {
      {"no-attachment", "", "", std::string::npos},
      {"empty-file", "添付", "本文", 0},
      {"one-byte", "添付", "", 1},
      {"block-less-one", "a", "b", block - 1},
      {"block-and-one", "a", "b", block + 1},
      {"three-blocks", "a", "b", 3 * block + 100},
      {"a line of 998 bytes with its escapes", "a", repeated("漢", 498), 0},
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
    const test::Entity read = test::readMessage(message);
    const std::string boundary = test::parameter(read.value("Content-Type"), "boundary");
    ids.insert(read.value("Message-ID") + boundary);
    if (file.empty()) continue;
    const test::Entity attached = test::readMultipart(read.body, boundary).at(1);
    EXPECT_LE(longestLine(attached.body + "\r\n"), 76u) << row.name;
    EXPECT_EQ(test::base64Decode(attached.body), data) << row.name;
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

// Opened like a data file: a FIFO in the attachment's place is refused at once, never waited on (the send thread
// would hang before any connection, where no stop reaches it).
TEST(MessageStream, AnAttachmentThatIsNoRegularFileIsRefusedWithoutWaiting) {
  test::TempFolder dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  for (const char* name : {"fifo", "folder", "missing"}) {
    auto opening = std::async(std::launch::async, [&] { return MessageStream(parts("s", "b", dir / name)).failure(); });
    if (opening.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
      ::close(::open((dir / name).c_str(), O_WRONLY | O_NONBLOCK));  // a writer lets the waiting open go
      FAIL() << name << ": the open waited";
    }
    EXPECT_EQ(opening.get().value_or(MailError{}).kind, MailErrorKind::AttachmentMissing) << name;
  }
}

}  // namespace
}  // namespace parupo::mail
