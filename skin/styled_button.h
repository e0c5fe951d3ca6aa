#pragma once
// The owner-drawn push button: nine colour themes with normal, hovered, pressed, focused
// and disabled looks, a rounded region, an optional picture and a caption with effects.
// This is its whole behaviour, portable: properties with their checks, the input and
// mouse-timer state machine, and the drawing. skin/win32/styled_button_control.h makes
// it a real child window whose click reaches the parent like a standard button's.
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/canvas.h"
#include "skin/colour.h"
#include "skin/property_bag.h"

namespace movarin::skin {

struct StyledButtonProperties {
  std::string caption;
  std::string icon_source;
  bool icon = false;
  int icon_alignment = 1;   // 1 left, 2 right
  int transparency = 100;   // picture opacity, percent
  int caption_alignment = 5;  // 1..9: columns left, centre, right; rows top, middle, bottom
  int caption_offset_x = 0;   // 0..255
  int caption_offset_y = 0;
  int caption_effect = 1;     // 1 plain, 2..4 relief, 5 shadow
  Colour caption_effect_colour = kWhite;
  int shadow_offset_x = 2;
  int shadow_offset_y = 2;
  Colour fore_colour = 0;
  Colour caption_disable_colour = Rgb(212, 212, 212);
  int theme = 1;
  bool focus_dotted_rect = true;
  bool enabled = true;
  Font font;
  int rounded_value = 5;
};

// The program a button is part of: the validation boxes name it.
struct ProgramInfo {
  std::string executable_name = "Movarin";
  int major = 1, minor = 0, revision = 0;
};

// A message box the button shows when a property is set to something it refuses.
struct ButtonMessage {
  enum class Icon { None, Error };
  std::string title;
  std::string text;  // lines separated by CR LF
  Icon icon = Icon::None;
};
ButtonMessage TransparencyOutOfRangeMessage(const ProgramInfo& program);
ButtonMessage MissingIconSourceMessage(const ProgramInfo& program, bool source_empty);

// Mouse buttons and shift states as the events carry them.
enum MouseButtons { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The button's events; none is raised while the button is disabled.
class StyledButtonEvents {
 public:
  virtual ~StyledButtonEvents() = default;
  virtual void Click() {}
  virtual void DoubleClick() {}
  virtual void KeyDown(int key_code, int shift) {}
  virtual void KeyPress(int key_ascii) {}
  virtual void KeyUp(int key_code, int shift) {}
  virtual void MouseDown(int button, int shift, int x, int y) {}
  virtual void MouseMove(int button, int shift, int x, int y) {}
  virtual void MouseUp(int button, int shift, int x, int y) {}
  virtual void MouseEnters(int screen_x, int screen_y) {}
  virtual void MouseLeaves(int screen_x, int screen_y) {}
};

// What the window hosting the button does for it.
class StyledButtonHost : public StyledButtonEvents {
 public:
  virtual void PropertyChanged(std::string_view name) {}
  // Draw the button again now (the control draws through StyledButton::Draw).
  virtual void Redraw() {}
  virtual void ShowMessage(const ButtonMessage& message) {}
};

class StyledButton {
 public:
  // A new button: its caption is the display name the host gives it.
  StyledButton(StyledButtonHost& host, std::string display_name, Font host_font,
               ProgramInfo program = {});

  const StyledButtonProperties& Properties() const { return p_; }

  // The stored design, applied through the setters in their fixed order (so their
  // checks and side effects run on load too), and written back without the defaults.
  void Load(const PropertyBag& design);
  PropertyBag Save() const;
  // One property by name (any letter case) from its value text; false when unknown or
  // unreadable.
  bool SetProperty(std::string_view name, std::string_view value);

  void SetCaption(std::string value);
  void SetIconSource(std::string value);
  void SetIcon(bool value);
  void SetIconAlignment(int value);
  void SetTransparency(int value);
  void SetCaptionAlignment(int value);
  void SetCaptionOffsetX(int value);
  void SetCaptionOffsetY(int value);
  void SetCaptionEffect(int value);
  void SetCaptionEffectColour(Colour value);
  void SetShadowOffsetX(int value);
  void SetShadowOffsetY(int value);
  void SetForeColour(Colour value);
  void SetCaptionDisableColour(Colour value);
  void SetTheme(int value);
  void SetFocusDottedRect(bool value);
  void SetEnabled(bool value);
  void SetFont(Font value);
  void SetRoundedValue(int value);

  // Input, all ignored while disabled. `button` is a MouseButtons value.
  void OnClick();
  void OnDoubleClick();
  void OnMouseDown(int button, int shift, Point at);
  void OnMouseUp(int button, int shift, Point at);
  void OnMouseMove(int button, int shift, Point at);
  void OnKeyDown(int key_code, int shift);
  void OnKeyUp(int key_code, int shift);
  void OnKeyPress(int key_ascii);
  void OnFocus(bool has_focus);
  // One tick of the 50 ms mouse timer: is the cursor over the button's own window.
  void OnMouseTimer(bool over_own_window, Point cursor_screen);
  // On destruction: the state flags are cleared.
  void Reset();

  bool Hovered() const { return hovered_; }
  bool Pressed() const { return pressed_; }
  bool Focused() const { return focused_; }
  Colour DisabledBorderColour() const { return disabled_border_; }

  // Draws the whole button on a cleared surface; returns the window region.
  Region Draw(Canvas& canvas) const;

 private:
  void Changed(std::string_view name);

  StyledButtonHost& host_;
  ProgramInfo program_;
  Font host_font_;
  StyledButtonProperties p_;
  bool hovered_ = false;
  bool pressed_ = false;
  bool focused_ = false;
  Colour disabled_border_ = 0;
};

// The look every button of the programs has: theme 4, the caption centred and plain,
// the picture on the left at full opacity, corners of 5, and the disabled and effect
// colours every window stores; `picture` empty for none.
PropertyBag StandardButtonDesign(std::string_view caption, std::string_view picture);

}  // namespace movarin::skin
