// What went wrong with a mail call, as a value: what kind of failure, the server's own
// words apart, and a detail. Inside the mail layer and in its tests an error is this
// value, and so it crosses the boundary (MailLibrary); mailErrorText (mail_error_text.cpp,
// the one place of their wording) turns it into the Japanese sentence at the edge that
// shows it or writes it down.
//
// A new kind is one line here and one row in the wording table.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace parupo::mail {

enum class MailProtocol { Smtp, Pop3 };

enum class MailErrorKind {
  // The server field (about: the field as typed)
  ServerMissing,
  ServerControlCharacters,
  ServerUnknownScheme,
  ServerBadHelloName,
  ServerEmptyUser,
  ServerLoginControlCharacters,  // in the field's URL, or the POP user and password
  ServerMalformed,
  ServerBadPort,
  ServerBadName,
  PopBadCommand,  // about: the command
  // The addresses (about: the entry refused)
  RecipientMissing,
  RecipientInvalid,
  ReplyToMissing,
  ReplyToInvalid,
  // The attachment (about: its path)
  AttachmentMissing,
  AttachmentUnopenable,
  AttachmentReadFailed,
  AttachmentChanged,
  // libcurl itself (about: the library's file name)
  CurlNotLoaded,  // detail: the loader's reason
  CurlInitFailed,
  CurlFunctionsMissing,  // detail: the missing functions
  CurlTooOld,            // detail: its version
  TransferSetupFailed,   // no transfer handle
  OutOfMemory,
  // A transfer that failed; the server's reply follows, or else where the kind leaves it
  // open, libcurl's words
  HostNotFound,   // about: the host
  ConnectFailed,  // about: host:port
  TimedOut,       // about: host:port
  LoginRefused,
  CertificateRejected,
  CertificateUntrusted,     // self-signed or a private authority; about: the trust file,
                            // detail: the server certificate's SHA-256 fingerprint, if known
  CertificateNameMismatch,  // about: the host the field names
  CertificateExpired,
  TrustFileUnreadable,          // about: the trust file (cacert.pem)
  StartTlsMissingForLogin,      // a login without TLS is never sent
  StartTlsMissingOnSubmission,  // port 587 sends nothing in clear; about: host:port
  PopCheckSkippedForPassword,   // no STLS: the check stopped before USER
  TlsFailed,
  ConnectionCut,   // no refusal was heard
  Refused,         // the server refused (serverReply)
  TransferFailed,  // anything else
  // The user stopped the call (Esc or the close box, answered はい) ...
  Stopped,             // ... before the whole message was handed over: nothing was sent
  StoppedAfterUpload,  // ... while the server's answer to the whole message was awaited
  PasswordNotGiven,    // the password box was cancelled: nothing was sent or checked
  // Something nobody foresaw (detail: what the exception said, if anything)
  Unexpected,
};

struct MailError {
  MailErrorKind kind = MailErrorKind::Unexpected;
  MailProtocol protocol = MailProtocol::Smtp;  // whose server the sentence names
  std::string about = {};                      // what the sentence names; made printable by whoever fills it
  std::string serverReply = {};                // the server's own last refusal ("550 5.1.1 ..."), when there was one
  std::string detail = {};                     // libcurl's or the system's words, the missing functions, ...
  bool operator==(const MailError&) const = default;
};

// The sentence a user reads: Japanese where we write it, ending with the server's own reply
// where there was one.
std::string mailErrorText(const MailError& error);

// A send's result as the send variables keep it: empty text when it was sent, otherwise
// the error's sentence (what the message log and error.txt hold).
std::string sendResultText(const std::optional<MailError>& error);

// What an exception nobody foresaw says, as an error of that protocol.
MailError unexpectedError(MailProtocol protocol, std::string_view what = {});

// Whether the user stopped the call: no fault of the settings or the server.
bool isStop(MailErrorKind kind);

// The message box text of a failed send: the error's sentence, then what to do. A stop
// the user chose is no error: its sentence alone.
std::string sendErrorMessage(const MailError& error);

// The message box text when the mail to the recipients went out and only the separate copy
// to the user's own address failed (or was stopped): the error's sentence first, then that
// the recipients (TAB-separated) have their mail, so that nobody sends it to them twice.
std::string copyErrorMessage(const MailError& error, const std::string& recipients, const std::string& copyTo);

// The kind's name as written here ("RecipientInvalid"), for test failures and diagnostics.
const char* kindName(MailErrorKind kind);
inline void PrintTo(MailErrorKind kind, std::ostream* out) { *out << kindName(kind); }

}  // namespace parupo::mail
