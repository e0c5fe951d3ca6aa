#pragma once
// The segmented progress bar as a child window, drawn off screen and copied on in one
// step. It answers the standard progress bar's messages (PBM_SETPOS, PBM_GETPOS,
// PBM_SETRANGE, PBM_SETRANGE32, PBM_GETRANGE), so a window that drove a standard bar
// drives this one unchanged.
#include <windows.h>

#include "platform/win32/window.h"
#include "skin/block_progress_bar.h"
#include "skin/win32/offscreen_surface.h"

namespace movarin::skin::win32 {

struct BlockProgressBarArgs {
  HWND parent = nullptr;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // pixels
  bool visible = true;
};

class BlockProgressBarControl final : public movarin::win32::Window {
 public:
  bool Create(const BlockProgressBarArgs& args);

  const BlockProgressBarProperties& Properties() const { return p_; }
  // Value and ShowText redraw at once; the others take effect at the next redraw.
  void SetValue(int value);
  void SetShowText(bool show);
  void SetRange(int min, int max) { p_.min = min, p_.max = max; }
  void SetOrientation(int orientation) { p_.orientation = orientation; }
  void SetScrolling(int scrolling) { p_.scrolling = scrolling; }
  void SetColour(Colour colour) { p_.colour = colour; }
  int Draws() const { return draws_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(int width, int height) override;

 private:
  void DrawProgressBar();

  BlockProgressBarProperties p_;
  OffscreenSurface surface_;
  int draws_ = 0;
};

}  // namespace movarin::skin::win32
