// Benchmarks of the log upkeep and the log viewer over many logs, offscreen:
//   start-up (the main window with its daily backups and log ageing) over an empty log
//   folder, over 10,000 logs of which none are old, and over 10,000 logs of which 5,000
//   are old; the deletion of 5,000 files alone, so that its file-system cost can be told
//   apart; opening the viewer over 10,000 logs; the recipient menu's first popup over
//   10,000 logs (each log's recipient is read then).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "core/services.h"
#include "logs/form2.h"
#include "logs/log_upkeep.h"
#include "platform/text_file.h"
#include "support/fakes.h"

namespace parupo {
namespace {

namespace fs = std::filesystem;

// The test suite's fakes: they follow every change of the seams they stand in for. Every
// question is answered yes, no mail is sent.
test::FakeDialogs dialogs;
SystemClock clock;
test::FakeRandom randomNumbers;
test::FakeMail mail;

// The folders' sizes; --quick makes them small, for a run that only proves the bench works.
int logCount = 10000;
int oldCount = 5000;

void write(const fs::path& file, const std::vector<std::string>& lines) {
  if (const std::string error = writeTextLines(file, lines); !error.empty()) {
    std::fprintf(stderr, "logs_bench: %s: %s\n", file.c_str(), error.c_str());
    std::exit(1);
  }
}

// A program folder with the five data files, a retention of 30 days and a log folder.
struct ProgramFolder {
  fs::path path;
  ProgramFolder() {
    std::string pattern = (fs::temp_directory_path() / "parupo-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
    write(path / "PP1.dat", {"smtp.example.jp", "me@example.jp"});
    for (const char* name : {"PP2.dat", "PP3.dat", "PPad.dat"}) write(path / name, {"x"});
    write(path / "PP4.dat", {"30"});
    fs::create_directory(path / "log");
  }
  ~ProgramFolder() { fs::remove_all(path); }
  fs::path log(int i) const {
    char name[32];
    std::snprintf(name, sizeof name, "20240101-%04d-%02d.txt", i / 100, i % 100);
    return path / "log" / name;
  }
  // Logs `from` to `to` (exclusive), to fifty recipients; `old` ones are two years old.
  void writeLogs(int from, int to, bool old) const {
    const std::time_t modified = std::time(nullptr) - (old ? 730 * 86400 : 0);
    for (int i = from; i < to; ++i) {
      // Written plainly: the set-up need not wait for the disk as the program does.
      const std::string who = std::to_string(i % 50);
      std::ofstream(log(i), std::ios::binary) << toCp932("\r\n宛先 : 友人" + who + " <f" + who +
                                                         "@example.jp>\r\n返信 : me@example.jp\r\n件名 : 件名\r\n"
                                                         "本文 : \r\n短い本文です。\r\n\r\n添付 : \r\n");
      const timespec times[2] = {{modified, 0}, {modified, 0}};
      ::utimensat(AT_FDCWD, log(i).c_str(), times, 0);
    }
  }
};

// The start-up as the user meets it: the main window's start-up makes the backups and
// ages the logs itself.
void startUp(const ProgramFolder& folder) {
  Form1 form(Services{dialogs, clock, randomNumbers, mail, folder.path, [] {}});
  benchmark::DoNotOptimize(&form);
}

void BM_StartUpEmptyLogFolder(benchmark::State& state) {
  ProgramFolder folder;
  for (auto _ : state) startUp(folder);
}
BENCHMARK(BM_StartUpEmptyLogFolder)->Unit(benchmark::kMillisecond);

void BM_StartUp10000LogsNoneOld(benchmark::State& state) {
  ProgramFolder folder;
  folder.writeLogs(0, logCount, false);
  for (auto _ : state) startUp(folder);
}
BENCHMARK(BM_StartUp10000LogsNoneOld)->Unit(benchmark::kMillisecond);

void BM_StartUp10000Logs5000Old(benchmark::State& state) {
  ProgramFolder folder;
  folder.writeLogs(oldCount, logCount, false);
  for (auto _ : state) {
    state.PauseTiming();
    folder.writeLogs(0, oldCount, true);
    state.ResumeTiming();
    startUp(folder);
  }
}
BENCHMARK(BM_StartUp10000Logs5000Old)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Delete5000Files(benchmark::State& state) {
  ProgramFolder folder;
  for (auto _ : state) {
    state.PauseTiming();
    folder.writeLogs(0, oldCount, true);
    state.ResumeTiming();
    for (int i = 0; i < oldCount; ++i) ::unlink(folder.log(i).c_str());
  }
}
BENCHMARK(BM_Delete5000Files)->Unit(benchmark::kMillisecond)->Iterations(5);

void closeViewer(Form2* viewer) {
  viewer->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenViewer10000Logs(benchmark::State& state) {
  ProgramFolder folder;
  folder.writeLogs(0, logCount, false);
  QWidget main;
  for (auto _ : state) {
    Form2* viewer = openLogViewer(dialogs, folder.path, &main, [](bool) {});
    QApplication::processEvents();
    state.PauseTiming();
    closeViewer(viewer);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenViewer10000Logs)->Unit(benchmark::kMillisecond);

void BM_RecipientMenu10000Logs(benchmark::State& state) {
  ProgramFolder folder;
  folder.writeLogs(0, logCount, false);
  QWidget main;
  for (auto _ : state) {
    state.PauseTiming();
    Form2* viewer = openLogViewer(dialogs, folder.path, &main, [](bool) {});
    QApplication::processEvents();
    state.ResumeTiming();
    viewer->showRecipientMenu(QPoint(10, 10));
    QApplication::processEvents();
    if (!viewer->mn0->isVisible()) state.SkipWithError("the menu did not show");
    state.PauseTiming();
    viewer->mn0->hide();
    closeViewer(viewer);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RecipientMenu10000Logs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parupo

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<char*> args(argv, argv + argc);
  std::string shortRuns = "--benchmark_min_time=0.001";
  if (argc > 1 && std::string(argv[1]) == "--quick") {
    parupo::logCount = 100, parupo::oldCount = 50;
    args[1] = shortRuns.data();
  }
  int count = static_cast<int>(args.size());
  QApplication app(count, args.data());
  benchmark::Initialize(&count, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
