// What every fuzz target shares: the bytes of one input as a file of the program would
// hold them, and a check that stops the run with a readable reason when an invariant
// breaks (libFuzzer then keeps the input as a finding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_file.h"

namespace parupo::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The lines readTextLines gives for a data file with these bytes, without touching the
// disk: CP932 decoded whole, split at any line end, no line after a final line end.
inline std::vector<std::string> fileLines(std::string_view cp932) {
  std::vector<std::string> lines = splitLines(fromCp932(cp932));
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

// The bytes the program writes for these lines (writeTextLines without the disk). CP932
// has no shift state, so the joined text converts to the same bytes as line by line,
// in one call instead of one per line.
inline std::string fileBytes(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return toCp932(text);
}

inline void require(bool holds, const char* invariant, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n%.*s\n", invariant, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

}  // namespace parupo::fuzz
