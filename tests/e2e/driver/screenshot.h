#pragma once
// Screenshots of windows (and of screen regions, for popup menus) saved as PNG files
// under the checkout's out/ folder.
#include <windows.h>

#include <optional>
#include <string>

namespace movarin::e2e {

// "<MOVARIN_SOURCE>\out" as a Windows path (created when missing); falls back to the
// current folder's "out" when MOVARIN_SOURCE is unset.
std::string OutputFolder();

// Brings the window to the front (a popup menu is left as it is), copies its rectangle from the screen and saves it as
// OutputFolder()\<name>.png. Returns the file's path, or nullopt (with *error set).
std::optional<std::string> SaveWindowScreenshot(HWND window, const std::string& name,
                                                std::string* error = nullptr);
// The colour of one pixel of the screen (CLR_INVALID outside it).
COLORREF ScreenPixel(POINT screen_point);
// The same for a rectangle in screen coordinates.
std::optional<std::string> SaveScreenRegion(const RECT& screen_rect, const std::string& name,
                                            std::string* error = nullptr);

}  // namespace movarin::e2e
