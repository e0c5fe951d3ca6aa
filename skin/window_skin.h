#pragma once
// The skin of a borderless window: caption bar with icon and title, gradient body,
// one-pixel border, and up to three caption buttons that light up under the mouse. This
// is the whole of its behaviour, portable: the drawing rules, the hover tracking, the
// clicks and the dragging. skin/win32/window_skin_control.h makes it a real window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "skin/canvas.h"
#include "skin/colour.h"
#include "skin/property_bag.h"

namespace movarin::skin {

enum class CaptionButton : std::int16_t { None = 0, Close = 1, Maximise = 2, Minimise = 3 };

struct CaptionButtonStyle {
  bool shown = false;
  Colour glyph = 0;       // normal glyph colour
  Colour over = 0;        // glyph colour under the mouse
  Colour from = 0;        // gradient, first colour
  Colour to = 0;          // gradient, second colour
};

// The properties, with the values a skin has before its design is loaded.
struct WindowSkinProperties {
  bool show_border = true;
  Colour border_colour = 0;
  bool show_caption_area = false;
  Colour caption_colour_to = 0;    // at the bar's top and bottom edge
  Colour caption_colour_from = 0;  // at the bar's middle
  std::string caption;
  Colour caption_colour = 0;
  Font font;
  std::string icon;  // picture source (see Canvas::LoadPicture); empty: none
  int icon_size = 16;
  std::string background_picture;
  int background_picture_position = 1;
  Colour colour_from = 1;  // body, top
  Colour colour_to = 1;    // body, toward the bottom
  CaptionButtonStyle min;
  CaptionButtonStyle max;
  CaptionButtonStyle close;
  // The surface's own colour, shown where nothing else is drawn (the host's background;
  // not stored with the design).
  Colour surface = 0x00F0F0F0;
};

// What the host window supplies as defaults for absent keys.
struct SkinHostDefaults {
  Colour background = 0x00F0F0F0;
  Font font{};
  std::string display_name{};
};

// Reads every key of a stored design with its default.
WindowSkinProperties LoadWindowSkin(const PropertyBag& design, const SkinHostDefaults& host);
// Writes the stored design in its fixed key order, leaving out values equal to defaults.
PropertyBag SaveWindowSkin(const WindowSkinProperties& p, const SkinHostDefaults& host);
// Sets one property by its name (any letter case) from its value text; false when the
// name is unknown or the text unreadable (nothing changes then).
bool SetWindowSkinProperty(WindowSkinProperties& p, std::string_view name, std::string_view value);

// The cursor relative to the skin's own surface: screen position less the host window's
// and the skin's positions; a host that still has a system frame is assumed to have one
// of 4 by 23 pixels.
Point RelativeCursor(Point cursor, Point host_origin, Point skin_origin, bool host_has_frame);

struct SkinGeometry {
  int caption_height = 0;  // CH
  int half = 0;            // CH / 2, rounded
  int button_top = 0;      // BT
  int close_x = 0, max_x = 0, min_x = 0;
};

class WindowSkin {
 public:
  WindowSkin() = default;
  explicit WindowSkin(WindowSkinProperties properties) : p_(std::move(properties)) {}

  const WindowSkinProperties& Properties() const { return p_; }
  // Replaces the properties; the caller then redraws (Redraw) and updates the timer.
  void SetProperties(WindowSkinProperties properties) { p_ = std::move(properties); }
  WindowSkinProperties& MutableProperties() { return p_; }

  // The full redraw of the whole surface; returns the window region to apply.
  Region Redraw(Canvas& canvas);
  // Paints every shown caption button, the hovered one lit (close, maximise, minimise).
  void PaintButtons(Canvas& canvas) const;

  bool AnyButtonShown() const { return p_.min.shown || p_.max.shown || p_.close.shown; }
  // The 10 ms hover timer runs only while a button is shown.
  bool HoverTimerWanted() const { return AnyButtonShown(); }

  // The shown button at a relative position (close first), or None.
  CaptionButton HitTest(Point relative) const;
  // One hover tick: the cursor is on the skin's own window or not, at `relative`.
  // Returns true when the hover state changed: the buttons are then to be painted
  // (PaintButtons) and the surface shown once; otherwise nothing is drawn.
  bool TrackHover(bool on_own_window, Point relative);
  CaptionButton Hover() const { return hover_; }

  // A click: the button whose event is to be raised, or None.
  CaptionButton Click(bool on_own_window, Point relative) const;

  // Dragging. `cursor` in screen pixels, `skin_top` the skin's top on the screen (host
  // top + skin top).
  void MouseDown(Point cursor, int skin_top);
  // The distance to move the host by, when it is dragged.
  std::optional<Point> MouseMove(Point cursor, bool host_has_frame);
  void MouseUp() { dragging_ = false; }
  bool Dragging() const { return dragging_; }

  const SkinGeometry& Geometry() const { return g_; }
  int DragZoneHeight() const { return drag_zone_height_; }

 private:
  void PaintButton(Canvas& canvas, CaptionButton which, bool lit) const;
  const CaptionButtonStyle& Style(CaptionButton which) const;
  int ButtonX(CaptionButton which) const;

  WindowSkinProperties p_;
  SkinGeometry g_;
  int drag_zone_height_ = 0;
  CaptionButton hover_ = CaptionButton::None;
  bool dragging_ = false;
  Point last_cursor_;
};

// The skin's vertical gradient: lines 1 .. n-1 from x1 to x2 (excluded) at rows y0 + i,
// rows y0 and y0 + n untouched.
void SkinGradient(Canvas& canvas, int x1, int y0, int x2, int n, Colour a, Colour b);
// The outline of (x, y)-(x + w, y + h), both corners included.
void SkinOutline(Canvas& canvas, int x, int y, int w, int h, Colour colour);

}  // namespace movarin::skin
