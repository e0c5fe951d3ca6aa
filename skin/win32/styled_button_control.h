#pragma once
// The styled button as a child window. Its click reaches the parent exactly as a
// standard push button's does (WM_COMMAND with the control id and BN_CLICKED), so a
// window's logic stays the same when a standard button is replaced by it; EnableWindow,
// SetWindowText, WM_SETFONT and BM_CLICK work on it as on a standard button.
//
//   skin::win32::StyledButtonControl search;
//   search.Create({.parent = hwnd(), .id = 105, .x = 464, .y = 56, .width = 121, .height = 49,
//                  .caption = "Search", .picture = skin::win32::PicturePath("Search.png")});
#include <windows.h>

#include <string>

#include "platform/win32/window.h"
#include "skin/styled_button.h"
#include "skin/win32/offscreen_surface.h"

namespace movarin::skin::win32 {

struct StyledButtonArgs {
  HWND parent = nullptr;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // pixels, in the parent's client area
  std::string caption{};
  std::string picture{};  // the picture file; empty: none
  bool enabled = true;
  bool visible = true;
  HFONT font = nullptr;   // the parent's font (Tahoma 8 pt when none)
  // The stored design; empty: the look every button of the program has
  // (StandardButtonDesign of the caption and picture).
  PropertyBag design{};
  StyledButtonEvents* events = nullptr;  // the events besides Click, when wanted
};

class StyledButtonControl final : public movarin::win32::Window, private StyledButtonHost {
 public:
  StyledButtonControl();
  ~StyledButtonControl() override;

  bool Create(const StyledButtonArgs& args);

  StyledButton& Button() { return *button_; }
  const StyledButtonProperties& Properties() const { return button_->Properties(); }
  int Draws() const { return draws_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;

 private:
  // StyledButtonHost
  void Click() override;
  void DoubleClick() override;
  void KeyDown(int key_code, int shift) override;
  void KeyPress(int key_ascii) override;
  void KeyUp(int key_code, int shift) override;
  void MouseDown(int button, int shift, int x, int y) override;
  void MouseMove(int button, int shift, int x, int y) override;
  void MouseUp(int button, int shift, int x, int y) override;
  void MouseEnters(int x, int y) override;
  void MouseLeaves(int x, int y) override;
  void PropertyChanged(std::string_view name) override;
  void Redraw() override;
  void ShowMessage(const ButtonMessage& message) override;

  void Draw();
  void Mouse(UINT msg, WPARAM wp, LPARAM lp);

  std::unique_ptr<StyledButton> button_;
  StyledButtonEvents* events_ = nullptr;
  OffscreenSurface surface_;
  Region region_{};
  bool region_set_ = false;
  bool ready_ = false;
  bool left_down_ = false;
  int draws_ = 0;
};

// program folder + "\Images\" + file name: where the program's pictures are.
std::string PicturePath(std::string_view file_name);
// The running program's name and version, as the validation boxes show them.
ProgramInfo RunningProgram();

}  // namespace movarin::skin::win32
