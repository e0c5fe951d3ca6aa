#include "registration/win32/library_file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/text.h"

namespace movarin::registration::win32 {

std::optional<LibraryFileChoice> ChooseLibraryFile(HWND owner) {
  // Room for the longest path the wide API takes.
  std::vector<wchar_t> file(32768, L'\0');
  std::vector<wchar_t> title(MAX_PATH, L'\0');
  // Description and pattern pairs, the list ended by an empty description.
  static constexpr wchar_t kFilter[] = L"OCX or DLL\0*.ocx;*.dll\0";
  const std::wstring dialog_title = movarin::win32::Widen(kLibraryDialogTitle);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrFileTitle = title.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
  ofn.lpstrTitle = dialog_title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return LibraryFileChoice{movarin::win32::Narrow(file.data()), movarin::win32::Narrow(title.data())};
}

}  // namespace movarin::registration::win32
