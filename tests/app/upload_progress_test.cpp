// What the caption shows of an upload, tick by tick, from the watch the mail layer fills.
#include "app/upload_progress.h"

#include <gtest/gtest.h>

#include "mailapi/transfer_watch.h"

namespace parupo {
namespace {

TEST(UploadProgress, APerCentShowsAfterASecondOfUploadAndOnlyWhenItChanged) {
  TransferWatch watch;
  UploadProgress progress;
  std::vector<std::optional<int>> shown{progress.tick(watch.percent())};  // connecting: no upload yet
  watch.uploadBegins(1000);
  // The greeting (no byte yet), then bytes; the last with dots stuffed in, then the end.
  for (int sent : {0, 100, 200, 300, 400, 500, 500, 999, 1004, -1}) {
    sent < 0 ? watch.uploadEnds() : watch.uploaded(static_cast<std::uint64_t>(sent));
    shown.push_back(progress.tick(watch.percent()));
  }
  const std::optional<int> none;
  EXPECT_EQ(shown, (std::vector<std::optional<int>>{none, none, none, none, none, none, 50, none, 99, 100, none}));
  watch.uploadBegins(10);
  watch.uploaded(5);
  EXPECT_EQ(progress.tick(watch.percent()), none);  // a new upload waits its second again
}

}  // namespace
}  // namespace parupo
