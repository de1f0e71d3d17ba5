#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/single_instance.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string() + ":" +
                 test::readBytes(entry.path()));
  return names;
}

TEST(SingleInstance, SecondStartIsToldAndTouchesNothingAndAFreedLockIsTakenAgain) {
  test::TempFolder folder;
  test::writeBytes(folder / "PP1.dat", "smtp.example.jp\r\n");
  test::FakeDialogs dialogs;

  auto first = claimSingleInstance(folder.path(), dialogs);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(dialogs.messages.empty());
  const auto before = filesIn(folder.path());

  auto second = claimSingleInstance(folder.path(), dialogs);
  EXPECT_EQ(second, nullptr);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "既に起動されています");
  EXPECT_EQ(filesIn(folder.path()), before);

  // The holder went away (as a crashed process does): the next start is not refused.
  first.reset();
  auto third = claimSingleInstance(folder.path(), dialogs);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace parupo
