#pragma once
// The open-file dialog in which the user picks a library on disk, to register it from the
// main window or to unregister it from the unregister dialog: titled "Select OCX or DLL",
// with the one filter "OCX or DLL" (*.ocx;*.dll).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace movarin::registration::win32 {

inline constexpr std::string_view kLibraryDialogTitle = "Select OCX or DLL";

struct LibraryFileChoice {
  std::string path;   // full path
  std::string title;  // the file's name without its folder
};

// Shows the dialog, owned by `owner`; nullopt when the user cancelled (or it failed).
std::optional<LibraryFileChoice> ChooseLibraryFile(HWND owner);

}  // namespace movarin::registration::win32
