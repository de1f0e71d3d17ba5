// The rules of the small aids around the compose boxes: the quick "帰" message, the date
// stamp for the body, the length count, the decoration set in naisho.txt and the
// decoration itself, the attachment's size caption, and one-line text for the recipient
// and subject boxes. Plain C++; the main window calls these from its handlers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/random.h"

namespace parupo {

// --- The quick message of the "帰" button --------------------------------------------

inline constexpr std::array<const char*, 5> kQuickSubjects = {"カエル", "かえる", "けーろ", "帰", "けろけろ"};
inline constexpr std::array<const char*, 5> kQuickBodies = {"よろん", "だよん", "ぽよん", "ぷよん", "ぷにぷに"};

struct QuickMessage {
  std::string subject;
  std::string body;
};

// One subject and one body, each drawn uniformly and independently (subject first).
QuickMessage pickQuickMessage(Random& random);

// --- Stamps and counts ----------------------------------------------------------------

// What a click on "本文" appends to the body: a line break (CR LF) and "mm/dd hh:mm".
std::string bodyStamp(const LocalDateTime& now);

// The number the body box shows as its tooltip: the UTF-16 code units of recipient,
// subject and body together; the body comes with CR LF line breaks, CR and LF one each.
std::size_t composeLength(std::string_view recipient, std::string_view subject, std::string_view body);

// The caption after an attachment is chosen: whole kilobytes, rounded down ("1 KB").
std::string attachmentCaption(std::uintmax_t bytes);

// The recipient and subject boxes hold one line: each line break (CR LF, CR or LF)
// becomes one blank, so a log line or a header never splits.
std::string oneLine(std::string_view text);

// --- Decoration -------------------------------------------------------------------------

// The decoration set when naisho.txt gives none.
inline constexpr const char* kDefaultDecorationSet = "★●◆■";

// Creates `folder`/naisho.txt holding the default set when there is none, so that the
// user finds it beside the program and may put symbols of their own in it. An existing
// file is never rewritten; a folder that takes no file is not reported.
void ensureDecorationFile(const std::filesystem::path& folder);

// The decoration set from `folder`/naisho.txt: the first field of its first line (CP932,
// the comma field reader). A missing file is created as above. The default set is used
// when the file is missing, has nothing to read (zero bytes) or cannot be read. A first
// line that is blank, or opens with a comma (or ""), is an empty set: the decoration then
// removes the marks.
std::string readDecorationSet(const std::filesystem::path& folder);

// Decorates `body`: every "、" becomes "。", then each "。" in turn becomes a character
// of `set` drawn at random (the random numbers seeded from the clock first). A "。"
// in the set would only be drawn again in its place, so it is left out of the draw; a
// set made only of "。" falls back to the default set, and an empty set removes each
// "。". The text is walked once: the decoration always ends.
std::string decorate(std::string_view body, std::string_view set, Random& random);

}  // namespace parupo
