// The main window's size rules, in twips (outer size: frame, caption and menu bar
// included). Plain arithmetic: Form1 applies the result to its controls.
#pragma once

#include <optional>

#include "core/settings.h"

namespace parupo {

// The settings panel shows at the window's first size.
inline constexpr double kSettingsPanelHeight = kDefaultWindowHeight;
inline constexpr double kSettingsPanelWidth = kDefaultWindowWidth;

// What the window and its compose controls become for a requested outer size.
struct ComposeLayout {
  double height = 0;  // the window, after its minimums
  double width = 0;
  // Set only when the window is tall enough for them; otherwise they stay as they are.
  std::optional<double> frameHeight;  // Frame2
  std::optional<double> bodyHeight;   // Text4
  struct Widths {
    double frame, recipient, subject, body;  // Frame2, Text1, Text3, Text4
  };
  std::optional<Widths> widths;  // only once the body has a height
};

// The compose panel keeps the window at least 3315 high while it shows; the window is at
// least 2055 wide once it is tall enough for the body box.
ComposeLayout composeLayout(double height, double width, bool composeShown);

// The compose controls alone for a window of that size, without the window's minimums.
ComposeLayout composeControls(double height, double width);

}  // namespace parupo
