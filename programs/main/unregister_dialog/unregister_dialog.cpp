#include "programs/main/unregister_dialog/unregister_dialog.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "programs/main/unregister_dialog/unregister_dialog_layout.h"
#include "registration/win32/library_file_dialog.h"

namespace movarin::main_program {

namespace ud = unregister_dialog;
using movarin::win32::Narrow;
using movarin::win32::Widen;

UnregisterDialog::UnregisterDialog(const UnregisterDialogArgs& args)
    : commands_(platform_, *args.store, args.program_folder), logic_(commands_, *args.menu) {}

UnregisterDialog::~UnregisterDialog() {
  if (hwnd()) DestroyWindow(hwnd());
}

void UnregisterDialog::ShowDialog() {
  if (!hwnd()) {
    movarin::win32::WindowArgs args;
    args.class_name = ud::kWindowClass;
    args.title = Widen(ud::kTitle);
    args.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));  // the program's icon
    args.client_width = movarin::win32::TwipsToPixels(ud::kClientWidth);
    args.client_height = movarin::win32::TwipsToPixels(ud::kClientHeight);
    if (!Create(args)) return;
  }
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool UnregisterDialog::OnCreate() {
  platform_.SetOwner(hwnd());
  // Tahoma 9.75 points bold, as in the main window.
  font_.reset(movarin::win32::CreateTahoma(975, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_ = {};  // the controls of an earlier, closed dialog are gone
  skinned_.AddSkin(hwnd(), ud::kSkin);
  for (const ui::ControlPlacement& p : ud::kControls)
    skinned_.Add(hwnd(), p, font, ui::PictureFor(ud::kButtonPictures, p.id));
  SetFocus(FileBox());
  return true;
}

void UnregisterDialog::OnDestroy() { platform_.SetOwner(nullptr); }

bool UnregisterDialog::OnClose() {
  // The next ShowDialog opens a new dialog with an empty file box.
  DestroyWindow(hwnd());
  return true;
}

bool UnregisterDialog::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == ud::kBrowseButton) {
    Browse();
  } else if (id == ud::kUnregisterButton) {
    logic_.UnregisterClicked(Narrow(movarin::win32::GetText(FileBox())));
  } else {
    return false;
  }
  return true;
}

HWND UnregisterDialog::FileBox() const { return GetDlgItem(hwnd(), ud::kFileBox); }

void UnregisterDialog::Browse() {
  std::optional<std::string> title;
  if (auto choice = registration::win32::ChooseLibraryFile(hwnd())) title = std::move(choice->title);
  movarin::win32::SetText(FileBox(), Widen(logic_.FileBoxAfterBrowse(std::move(title))));
}

}  // namespace movarin::main_program
