#include "programs/main/command_menu/command_menu.h"

#include "platform/win32/text.h"

namespace movarin::main_program {

namespace {
std::size_t Index(MenuItem item) { return static_cast<std::size_t>(item); }
}  // namespace

CommandMenu::CommandMenu() {
  std::size_t top = 0;
  for (const MenuItemInfo& info : kMenuItems) {
    if (info.kind == ItemKind::kTopMenu) {
      handles_[Index(info.item)] = CreatePopupMenu();
      owned_[top++].reset(handles_[Index(info.item)]);
      continue;
    }
    HMENU parent = handles_[Index(info.parent)];
    const std::wstring caption = movarin::win32::Widen(info.caption);
    if (info.kind == ItemKind::kSubmenu) {
      HMENU sub = CreatePopupMenu();
      handles_[Index(info.item)] = sub;
      AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else {
      AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(CommandId(info.item)), caption.c_str());
    }
  }
}

int CommandMenu::CommandId(MenuItem item) {
  return kFirstMenuCommandId + static_cast<int>(Index(item));
}

std::optional<MenuItem> CommandMenu::ItemForCommand(int command_id) {
  const int index = command_id - kFirstMenuCommandId;
  if (index < 0 || index >= static_cast<int>(kMenuItemCount)) return std::nullopt;
  const MenuItemInfo& info = kMenuItems[static_cast<std::size_t>(index)];
  if (info.kind == ItemKind::kTopMenu || info.kind == ItemKind::kSubmenu) return std::nullopt;
  return info.item;
}

void CommandMenu::Refresh() {
  for (const MenuItemInfo& info : kMenuItems) {
    if (info.kind == ItemKind::kToggle || info.kind == ItemKind::kPairItem) {
      CheckMenuItem(handles_[Index(info.parent)], static_cast<UINT>(CommandId(info.item)),
                    MF_BYCOMMAND | (model_.Checked(info.item) ? MF_CHECKED : MF_UNCHECKED));
    }
  }
  const std::wstring caption = movarin::win32::Widen(model_.DownloadCaption());
  ModifyMenuW(handles_[Index(MenuItem::kContextMenu)], static_cast<UINT>(CommandId(MenuItem::kDownload)),
              MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(CommandId(MenuItem::kDownload)),
              caption.c_str());
}

void CommandMenu::PopUp(MenuItem top_menu, HWND owner, POINT screen_point) {
  Refresh();
  // The owner must be the foreground window, or the menu does not close when the user
  // clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(handles_[Index(top_menu)], TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                 screen_point.x, screen_point.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace movarin::main_program
