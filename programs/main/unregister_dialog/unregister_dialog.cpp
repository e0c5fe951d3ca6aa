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
  skinned_.emplace();
  skinned_->AddSkin(hwnd(), {.title = ud::kTitle, .icon = "#1"});
  // The "UnRegister" button shows its picture, loaded from the Images folder now.
  for (const ui::ControlPlacement& placement : ud::kControls) {
    const bool unregister_button = placement.id == ud::kUnregisterButton;
    skinned_->Add(hwnd(), placement, font, unregister_button ? ud::kUnregisterPicture : std::string_view());
  }
  SetFocus(FileBox());
  return true;
}

void UnregisterDialog::OnDestroy() {
  skinned_.reset();
  platform_.SetOwner(nullptr);
}

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
