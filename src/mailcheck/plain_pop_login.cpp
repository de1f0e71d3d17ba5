#include "mailcheck/plain_pop_login.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "mailapi/server_address.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

constexpr const char* kFileName = "PPpop.dat";

// The server a POP field names: "host:port" with the host in lower case (host names
// are the same in any case), the port the field means ("pop.example.jp" is port 110).
struct PopServer {
  std::string host;
  std::string key;
};

std::optional<PopServer> popServer(const std::string& field) {
  auto parsed = mail::parseServerAddress(field, mail::MailProtocol::Pop3);
  auto* server = std::get_if<mail::ServerAddress>(&parsed);
  if (server == nullptr) return std::nullopt;
  mail::ServerAddress folded = *server;
  folded.host = asciiLower(folded.host);
  return PopServer{server->host, folded.display()};
}

std::vector<std::string> keptServers(const std::filesystem::path& file) {
  std::vector<std::string> lines = readTextLines(file).value_or(std::vector<std::string>{});
  for (std::string& line : lines) line = std::string(trimBlanks(line));
  return lines;
}

}  // namespace

PlainPopLogins::PlainPopLogins(std::filesystem::path programFolder) : file_(std::move(programFolder) / kFileName) {}

bool PlainPopLogins::allowed(const std::string& popField) const {
  const std::optional<PopServer> server = popServer(popField);
  if (!server) return false;
  if (thisRun_.contains(server->key)) return true;
  const std::vector<std::string> kept = keptServers(file_);
  return std::ranges::find(kept, server->key) != kept.end();
}

std::optional<std::string> PlainPopLogins::question(const std::string& popField) const {
  const std::optional<PopServer> server = popServer(popField);
  if (!server || declined_.contains(server->key) || allowed(popField)) return std::nullopt;
  return "POPサーバー（" + server->host +
         "）は暗号化に対応していません。"
         "パスワードを暗号化せずに送って受信チェックを行いますか？";
}

std::string PlainPopLogins::answer(const std::string& popField, bool yes) {
  const std::optional<PopServer> server = popServer(popField);
  if (!server) return {};
  if (!yes) {
    declined_.insert(server->key);
    return {};
  }
  thisRun_.insert(server->key);
  std::vector<std::string> servers = keptServers(file_);
  if (std::ranges::find(servers, server->key) != servers.end()) return {};
  servers.push_back(server->key);
  const std::string problem = writeTextLines(file_, servers);
  if (problem.empty()) return {};
  return "受信チェックの許可 (" + std::string(kFileName) +
         ") を保存できませんでした。次の起動の後にもう一度確認します。\n" + problem;
}

}  // namespace parupo
