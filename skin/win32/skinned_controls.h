#pragma once
// What a window needs to adopt the skinned look in one line per control: its skin, and
// the controls of its layout table, where StyledButton and BlockProgressBar kinds become
// ours and every other kind the standard control. The set owns the control objects for
// the window's life.
//
//   skin::win32::SkinnedControls skinned_;   // a member of the window
//   skinned_.AddSkin(hwnd(), {.title = "Movarin", .icon = "#1"});
//   for (const auto& p : kControls) skinned_.Add(hwnd(), p, font, PictureFor(p.id));
#include <windows.h>

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/control_layout.h"
#include "skin/win32/block_progress_bar_control.h"
#include "skin/win32/styled_button_control.h"
#include "skin/win32/window_skin_control.h"

namespace movarin::skin::win32 {

class SkinnedControls {
 public:
  // The window's skin, with the look every window shares. The host is made borderless.
  WindowSkinControl* AddSkin(HWND host, const ui::SkinDescription& description, WindowSkinEvents* events = nullptr);
  // One control of a layout table, at the screen's DPI; `picture` is a file in the
  // program's Images folder for a styled button ("Search.png"), or empty.
  HWND Add(HWND parent, const ui::ControlPlacement& placement, HFONT font, std::string_view picture = {});
  void AddAll(HWND parent, std::span<const ui::ControlPlacement> placements, HFONT font);

  WindowSkinControl* Skin() const { return skin_.get(); }
  StyledButtonControl* Button(int id) const;
  BlockProgressBarControl* ProgressBar(int id) const;

 private:
  HWND Create(HWND parent, const ui::ControlPlacement& placement, HFONT font, std::string_view picture);

  std::unique_ptr<WindowSkinControl> skin_;
  std::vector<std::unique_ptr<StyledButtonControl>> buttons_;
  std::vector<std::unique_ptr<BlockProgressBarControl>> bars_;
};

}  // namespace movarin::skin::win32
