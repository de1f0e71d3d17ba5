#include "app/window_size.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace parupo {
namespace {

TEST(WindowSize, ComposeLayoutKeepsTheMinimumsAndFitsTheControls) {
  // Window height and width; Frame2 and Text4 heights; Frame2, Text1, Text3, Text4 widths (-1: left alone).
  auto sizes = [](const ComposeLayout& f) {
    const auto w = f.widths.value_or(ComposeLayout::Widths{-1, -1, -1, -1});
    return std::vector<double>{f.height, f.width, f.frameHeight.value_or(-1), f.bodyHeight.value_or(-1),
                               w.frame, w.recipient, w.subject, w.body};
  };
  const struct {
    double height, width;
    bool composing;
    std::vector<double> fit;
  } cases[] = {
      {1000, 1000, true, {3315, 2055, 2505, 1365, 1815, 735, 1035, 1035}},
      {6000, 8000, true, {6000, 8000, 5190, 4050, 7760, 6680, 6980, 6980}},
      {2000, 1000, false, {2000, 2055, 1190, 50, 1815, 735, 1035, 1035}},  // settings panel: no minimum height
      {1500, 1000, false, {1500, 1000, 690, -1, -1, -1, -1, -1}},          // too low for the body
      {800, 1000, false, {800, 1000, -1, -1, -1, -1, -1, -1}},
  };
  for (const auto& c : cases) EXPECT_EQ(sizes(composeLayout(c.height, c.width, c.composing)), c.fit) << c.height;

  for (double bad : {-5.0, 1e30, double(NAN), double(INFINITY)}) EXPECT_FALSE(usableWindowSize(bad)) << bad;
  EXPECT_TRUE(usableWindowSize(0));
}

}  // namespace
}  // namespace parupo
