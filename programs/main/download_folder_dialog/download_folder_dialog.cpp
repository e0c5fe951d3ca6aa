#include "programs/main/download_folder_dialog/download_folder_dialog.h"

#include <shlobj.h>

#include "programs/main/download_folder_dialog/download_folder_dialog_layout.h"
#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"

namespace movarin::main_program {

namespace fd = folder_dialog;
using movarin::win32::Widen;

bool DownloadFolderDialog::EnsureLoaded() {
  if (hwnd()) return true;
  movarin::win32::WindowArgs args;
  args.class_name = L"MovarinDownloadFolderDialog";
  args.title = Widen(fd::kTitle);
  // No caption buttons: the user leaves the dialog with Save.
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  args.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));  // the program's icon
  args.client_width = movarin::win32::TwipsToPixels(fd::kClientWidth);
  args.client_height = movarin::win32::TwipsToPixels(fd::kClientHeight);
  return Create(args);
}

bool DownloadFolderDialog::OnCreate() {
  font_.reset(movarin::win32::CreateTahoma(825, /*bold=*/false));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_ = {};  // the controls of an earlier, closed dialog are gone
  skinned_.AddSkin(hwnd(), fd::kSkin);
  for (const ui::ControlPlacement& p : fd::kControls)
    skinned_.Add(hwnd(), p, font, ui::PictureFor(fd::kButtonPictures, p.id));
  movarin::win32::SetText(GetDlgItem(hwnd(), fd::kFolderBox), Widen(logic_.InitialFolder()));
  return true;
}

void DownloadFolderDialog::ShowDialog() {
  if (!EnsureLoaded()) return;
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

std::string DownloadFolderDialog::FolderText() {
  if (!EnsureLoaded()) return logic_.InitialFolder();
  return ItemText(fd::kFolderBox);
}

void DownloadFolderDialog::StoreFolder() {
  logic_.StoreFolder(ItemText(fd::kFolderBox));
}

bool DownloadFolderDialog::OnClose() {
  // Whatever closes the dialog stores the box; the next use loads it afresh.
  StoreFolder();
  DestroyWindow(hwnd());
  return true;
}

bool DownloadFolderDialog::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == fd::kBrowseButton) {
    Browse();
  } else if (id == fd::kSaveButton) {
    StoreFolder();
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  } else {
    return false;
  }
  return true;
}

void DownloadFolderDialog::Browse() {
  // The new, resizable picker style needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring title = Widen(fd::kPickerTitle);
  BROWSEINFOW info{};
  info.hwndOwner = hwnd();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS;
  if (PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(picked, path)) movarin::win32::SetText(GetDlgItem(hwnd(), fd::kFolderBox), path);
    CoTaskMemFree(picked);
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace movarin::main_program
