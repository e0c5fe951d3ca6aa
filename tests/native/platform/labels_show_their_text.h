#pragma once
// Checks that a layout table's labels show their whole text in the window's bold font at
// the usual DPI settings: the text's estimated width fits between the label's left edge
// and whatever ends its room (its own right edge, or a visible control beside it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>

#include "platform/control_layout.h"
#include "platform/text_width_estimate.h"

namespace movarin::ui::testing {

// Twips to pixels as the windows place their controls.
inline int PixelsAt(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

inline void ExpectLabelsShowTheirText(std::span<const ControlPlacement> table, int hundredths_of_point) {
  for (const ControlPlacement& label : table) {
    if (label.kind != ControlKind::kLabel && label.kind != ControlKind::kClickableLabel) continue;
    int room_right = label.left + label.width;
    for (const ControlPlacement& other : table) {
      const bool visible = other.kind != ControlKind::kHiddenField && other.kind != ControlKind::kPanel;
      const bool same_row = other.top < label.top + label.height && label.top < other.top + other.height;
      if (&other != &label && visible && same_row && other.left > label.left)
        room_right = std::min(room_right, other.left);
    }
    for (int dpi : {96, 120, 144, 192}) {
      const int room = PixelsAt(room_right, dpi) - PixelsAt(label.left, dpi);
      EXPECT_LE(EstimatedBoldTextWidthPixels(label.caption, hundredths_of_point, dpi), room)
          << '"' << label.caption << "\" at " << dpi << " DPI";
    }
  }
}

}  // namespace movarin::ui::testing
