// address_book_bench [ENTRIES...]: for each size, writes a PPad.dat of that many entries
// in groups of 100 into a temporary folder, then loads it into the address book model
// and saves it again, and prints the entries, the load and save times in seconds,
// whether the saved file is the same bytes, and what 宛先's offers over that book cost: the
// folding once, and the look-up at every key (a key that takes no visible time: well
// under 0.05 s at 50,000 entries).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "addressbook/address_book.h"
#include "app/address_suggestions.h"
#include "platform/text_file.h"

namespace {

double since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::stol(argv[i]));
  if (sizes.empty()) sizes = {5000, 50000, 500000};
  std::string pattern = (std::filesystem::temp_directory_path() / "parupo-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  const std::filesystem::path folder = pattern;

  std::printf("entries load_s save_s same_bytes offers_fold_s offers_per_key_s\n");
  for (long entries : sizes) {
    std::vector<std::string> lines;
    for (long i = 0; i < entries; ++i) {
      if (i % 100 == 0) lines.push_back("グループ" + std::to_string(i / 100));
      std::string line = "名前" + std::to_string(i) + "\tuser" + std::to_string(i) + "@example.jp";
      if (i % 3 == 0) line += "\t090" + std::to_string(10000000 + i);
      lines.push_back(line);
    }
    if (!parupo::writeTextLines(folder / "PPad.dat", lines).empty()) return 1;
    const std::string before = bytes(folder / "PPad.dat");

    auto start = std::chrono::steady_clock::now();
    parupo::AddressBook book;
    book.AdrsLoad(folder);
    const double load = since(start);
    start = std::chrono::steady_clock::now();
    if (!book.AdrsSave(folder).empty()) return 1;
    const double save = since(start);
    // 宛先's offers over the book: folded once, then looked through at every key.
    start = std::chrono::steady_clock::now();
    parupo::AddressSuggestions suggestions;
    suggestions.setCandidates(parupo::bookOffers(book));
    const double fold = since(start);
    constexpr int kKeys = 20;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kKeys; ++i) (void)suggestions.offers(i % 2 == 0 ? "名前4999" : "ｕｓｅｒ49999@");
    const double perKey = since(start) / kKeys;
    std::printf("%ld %.3f %.3f %s %.3f %.4f\n", entries, load, save,
                bytes(folder / "PPad.dat") == before ? "yes" : "no", fold, perKey);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
