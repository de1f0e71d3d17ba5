// startup_bench [LINES] [RUNS]: the main window's start-up (construction, which runs the
// whole start-up sequence) in a program folder without an address book and in one whose
// PPad.dat has LINES lines (default 10000), on the offscreen platform; prints the median
// of RUNS starts (default 15) for each and their ratio.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form1.h"
#include "core/services.h"
#include "mailapi/curl_mail_library.h"
#include "platform/clock.h"
#include "platform/qt_dialogs.h"
#include "platform/random.h"
#include "platform/text_file.h"

namespace {

double medianStart(const std::filesystem::path& folder, int runs) {
  parupo::QtDialogs dialogs;
  parupo::SystemClock clock;
  parupo::SystemRandom random;
  parupo::CurlMailLibrary mail;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    parupo::Form1 form(parupo::Services{dialogs, clock, random, mail, folder, [] {}});
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void write(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  if (const std::string error = parupo::writeTextLines(file, lines); !error.empty()) {
    std::fprintf(stderr, "startup_bench: %s: %s\n", file.c_str(), error.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const long lines = argc > 1 ? std::stol(argv[1]) : 10000;
  const int runs = argc > 2 ? std::stoi(argv[2]) : 15;
  QApplication app(argc, argv);

  std::string pattern = (std::filesystem::temp_directory_path() / "parupo-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  const std::filesystem::path empty = std::filesystem::path(pattern) / "empty",
                              book = std::filesystem::path(pattern) / "book";
  std::filesystem::create_directories(empty);
  std::filesystem::create_directories(book);
  const std::vector<std::string> settings = {
      "smtp.example.jp", "me@example.jp", "",       "dummy@example.jp", "False", "",      "",     "",     " 0 ",
      "False",           "False",         " 5220 ", " 4770 ",           "True",  "False", "True", "False"};
  std::vector<std::string> addressLines;
  for (long i = 0; i < lines; ++i)
    addressLines.push_back(i % 100 == 0 ? "グループ" + std::to_string(i / 100)
                                        : "名前" + std::to_string(i) + "\tuser" + std::to_string(i) + "@example.jp");
  for (const auto& folder : {empty, book}) write(folder / "PP1.dat", settings);
  write(book / "PPad.dat", addressLines);

  medianStart(empty, 2);  // fonts and styles loaded once
  const double without = medianStart(empty, runs), with = medianStart(book, runs);
  std::printf("start-up without book %.4f s, with %ld-line book %.4f s, ratio %.2f\n", without, lines, with,
              with / without);
  std::filesystem::remove_all(pattern);
  return 0;
}
