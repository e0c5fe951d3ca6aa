#pragma once
#include <windows.h>

#include <span>

#include "platform/control_layout.h"

namespace movarin::win32 {

// Creates one control of a layout table as a child of `parent`, sized at the screen's DPI.
HWND CreateLaidOutControl(HWND parent, const ui::ControlPlacement& placement, HFONT font);

// Creates every control of a layout table, in table order.
void CreateLaidOutControls(HWND parent, std::span<const ui::ControlPlacement> placements, HFONT font);

// Tahoma at a size in hundredths of a point (975 is 9.75 pt), at the screen's DPI.
HFONT CreateTahoma(int hundredths_of_point, bool bold);

}  // namespace movarin::win32
