#pragma once
#include <windows.h>

#include <span>

#include "download/dialogs_layout.h"

namespace movarin::download::win32 {

// Creates each control of a layout table as a child of `parent`.
void CreateDialogControls(HWND parent, std::span<const DialogControl> controls, HFONT font);

// The dialogs' font: Tahoma 8.25 points at the screen's DPI.
HFONT CreateDialogFont();

}  // namespace movarin::download::win32
