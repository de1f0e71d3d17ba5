// What every fuzz target shares: the bytes of one input as a file of the program would
// hold them, and a check that stops the run with a readable reason when an invariant
// breaks (libFuzzer then keeps the input as a finding).
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A folder of this run for readers that take a file: made once, in the temporary folder.
inline const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "parupo-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// Puts the bytes into scratchFolder()/name and gives that file's path.
inline std::filesystem::path scratchFile(const std::string& name, std::string_view bytes) {
  const std::filesystem::path file = scratchFolder() / name;
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

inline void require(bool holds, const char* invariant, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n%.*s\n", invariant, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

}  // namespace parupo::fuzz
