#pragma once
// The look every window of the three programs shares, as a stored design: a navy border,
// a gradient caption in Tahoma 12 pt bold, a light-to-navy body and the minimise and
// close buttons; each window adds its title, its icon and whether it shows the buttons.
#include <span>
#include <string_view>
#include <utility>

#include "platform/control_layout.h"
#include "skin/property_bag.h"

namespace movarin::skin {

// The shared settings, key and value, as every window stores them.
std::span<const std::pair<std::string_view, std::string_view>> SharedWindowSkinSettings();

// The stored design of one window's skin.
PropertyBag WindowSkinDesign(const ui::SkinDescription& description);

}  // namespace movarin::skin
