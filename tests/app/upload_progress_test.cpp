// What the caption shows of an upload, tick by tick, from the watch the mail layer fills.
#include "app/upload_progress.h"

#include <gtest/gtest.h>

#include "mailapi/transfer_watch.h"

namespace parupo {
namespace {

TEST(UploadProgress, APerCentShowsAfterASecondOfUploadAndOnlyWhenItChanged) {
  TransferWatch watch;
  UploadProgress progress;
  std::vector<std::optional<int>> shown;
  const auto tick = [&] { shown.push_back(progress.tick(watch.percent())); };
  tick();                            // connecting: no upload yet
  watch.uploadBegins(1000);
  tick();                            // the greeting: no byte on its way yet
  for (int sent : {100, 200, 300, 400, 500, 500, 999, 1004}) {  // the last with dots stuffed in
    watch.uploaded(static_cast<std::uint64_t>(sent));
    tick();
  }
  watch.uploadEnds();
  tick();
  const std::optional<int> none;
  EXPECT_EQ(shown, (std::vector<std::optional<int>>{none, none, none, none, none, none, 50, none, 99, 100, none}));
  EXPECT_TRUE(progress.shown());
  watch.uploadBegins(10);
  watch.uploaded(5);
  EXPECT_EQ(progress.tick(watch.percent()), none);  // a new upload waits its second again
}

}  // namespace
}  // namespace parupo
