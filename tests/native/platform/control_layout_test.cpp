// The layout format's own check, which every window's table runs at compile time.
#include <gtest/gtest.h>

#include <array>

#include "platform/control_layout.h"

namespace movarin::ui {
namespace {

TEST(LayoutIsValid, RefusesSharedIdsAndControlsWithoutSize) {
  constexpr std::array<ControlPlacement, 3> good{{
      {1, ControlKind::kLabel, "a", 0, 0, 100, 20},
      {2, ControlKind::kTextBox, "", 0, 30, 100, 20},
      {3, ControlKind::kHiddenField, "", 0, 9000, 100, 20},
  }};
  EXPECT_TRUE(LayoutIsValid(good));
  EXPECT_TRUE(LayoutIsValid({}));

  auto shared_id = good;
  shared_id[2].id = 1;  // the last control repeats the first one's id
  EXPECT_FALSE(LayoutIsValid(shared_id));
  for (std::size_t i = 0; i < good.size(); ++i) {
    auto flat = good;
    flat[i].height = 0;
    EXPECT_FALSE(LayoutIsValid(flat)) << i;
    auto thin = good;
    thin[i].width = -5;
    EXPECT_FALSE(LayoutIsValid(thin)) << i;
  }
}

}  // namespace
}  // namespace movarin::ui
