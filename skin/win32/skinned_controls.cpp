#include "skin/win32/skinned_controls.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/window.h"
#include "skin/window_skin_design.h"

namespace movarin::skin::win32 {

WindowSkinControl* SkinnedControls::AddSkin(HWND host, const ui::SkinDescription& description,
                                            WindowSkinEvents* events) {
  auto skin = std::make_unique<WindowSkinControl>();
  WindowSkinArgs args;
  args.host = host;
  args.design = WindowSkinDesign(description);
  args.events = events;
  if (!skin->Create(args)) return nullptr;
  skin_ = std::move(skin);
  return skin_.get();
}

HWND SkinnedControls::Add(HWND parent, const ui::ControlPlacement& p, HFONT font, std::string_view picture) {
  const HWND control = Create(parent, p, font, picture);
  // Controls sit on the skin, which stays below them all.
  if (control && skin_ && skin_->hwnd())
    SetWindowPos(skin_->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return control;
}

HWND SkinnedControls::Create(HWND parent, const ui::ControlPlacement& p, HFONT font, std::string_view picture) {
  using movarin::win32::TwipsToPixels;
  if (p.kind == ui::ControlKind::kStyledButton) {
    auto button = std::make_unique<StyledButtonControl>();
    StyledButtonArgs args;
    args.parent = parent;
    args.id = p.id;
    args.x = TwipsToPixels(p.left);
    args.y = TwipsToPixels(p.top);
    args.width = TwipsToPixels(p.width);
    args.height = TwipsToPixels(p.height);
    args.caption = std::string(p.caption);
    if (!picture.empty()) args.picture = PicturePath(picture);
    args.font = font;
    if (!button->Create(args)) return nullptr;
    buttons_.push_back(std::move(button));
    return buttons_.back()->hwnd();
  }
  if (p.kind == ui::ControlKind::kBlockProgressBar) {
    auto bar = std::make_unique<BlockProgressBarControl>();
    if (!bar->Create({.parent = parent,
                      .id = p.id,
                      .x = TwipsToPixels(p.left),
                      .y = TwipsToPixels(p.top),
                      .width = TwipsToPixels(p.width),
                      .height = TwipsToPixels(p.height)}))
      return nullptr;
    bars_.push_back(std::move(bar));
    return bars_.back()->hwnd();
  }
  const HWND control = movarin::win32::CreateLaidOutControl(parent, p, font);
  if (control && p.kind == ui::ControlKind::kFrame && skin_) {
    // A frame paints only its outline and caption: transparent, it no longer clips the
    // skin below it, which then shows through inside the outline.
    SetWindowLongPtrW(control, GWL_EXSTYLE, GetWindowLongPtrW(control, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  }
  return control;
}

void SkinnedControls::AddAll(HWND parent, std::span<const ui::ControlPlacement> placements, HFONT font) {
  for (const ui::ControlPlacement& p : placements) Add(parent, p, font);
}

StyledButtonControl* SkinnedControls::Button(int id) const {
  for (const auto& b : buttons_)
    if (b->hwnd() && GetDlgCtrlID(b->hwnd()) == id) return b.get();
  return nullptr;
}

BlockProgressBarControl* SkinnedControls::ProgressBar(int id) const {
  for (const auto& b : bars_)
    if (b->hwnd() && GetDlgCtrlID(b->hwnd()) == id) return b.get();
  return nullptr;
}

}  // namespace movarin::skin::win32
