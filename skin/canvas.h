#pragma once
// The small drawing surface the skinned controls draw on. Their drawing rules are written
// once against it; skin/software_canvas.h draws into a 32-bit bitmap (tests, benchmarks)
// and skin/win32/gdi_canvas.h draws with GDI. Coordinates are pixels, y downward.
#include <memory>
#include <string>
#include <string_view>

#include "skin/colour.h"

namespace movarin::skin {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
};

// Left and top inside, right and bottom outside.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

struct Font {
  std::string name = "Tahoma";
  int hundredths_of_point = 800;  // 1200 is 12 pt
  bool bold = false;
  bool italic = false;
  bool operator==(const Font&) const = default;
};

// How DrawText lays a text out in its rectangle.
enum TextFlags : unsigned {
  kTextLeft = 0,
  kTextCentre = 1u << 0,        // horizontally
  kTextVerticalCentre = 1u << 1,  // single-line texts only
  kTextSingleLine = 1u << 2,
  kTextWordBreak = 1u << 3,
  kTextNoPrefix = 1u << 4,  // without it "&&" shows one '&' and "&x" underlines x
  kTextNoClip = 1u << 5,
};

// A window region as data: the control's window keeps only what lies inside. A corner
// size of 0 makes a plain rectangle.
struct Region {
  Rect bounds;
  int corner_width = 0;
  int corner_height = 0;
  bool operator==(const Region&) const = default;
};

// A picture loaded for one drawing (the image loader's 32-bit image).
class Picture {
 public:
  virtual ~Picture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual Size Extent() const = 0;
  // Pixels per inch of the screen the surface is shown on.
  virtual int Dpi() const { return 96; }
  virtual void FillRect(const Rect& rect, Colour colour) = 0;
  // A one-pixel solid line from `from` toward `to`, `to` itself excluded.
  virtual void Line(Point from, Point to, Colour colour) = 0;
  virtual void SetPixel(Point at, Colour colour) = 0;
  // Two-colour linear gradient from the top row to the bottom row.
  virtual void VerticalGradient(const Rect& rect, Colour top, Colour bottom) = 0;
  // Bilinear gradient: each row runs from the left edge's colour to the right edge's,
  // the edges running from the top corners to the bottom ones.
  virtual void FourColourGradient(const Rect& rect, Colour top_left, Colour top_right,
                                  Colour bottom_left, Colour bottom_right) = 0;
  // The outline of a rectangle with corners rounded by an ellipse of corner x corner
  // pixels, as GDI's RoundRect draws it with a hollow brush.
  virtual void RoundRectFrame(const Rect& rect, int corner, Colour colour) = 0;

  virtual void SetFont(const Font& font) = 0;
  // The size of one line of text in the current font (the height even of an empty text).
  virtual Size MeasureText(std::string_view utf8) = 0;
  // Draws UTF-8 text in the current font, on a transparent background.
  virtual void DrawText(std::string_view utf8, const Rect& rect, unsigned flags, Colour colour) = 0;

  // Loads a picture: a file path, or "#<number>" for an icon of the program itself.
  // Nothing when it cannot be loaded. `wanted_icon_size` picks an icon file's entry.
  virtual std::unique_ptr<Picture> LoadPicture(const std::string& source, int wanted_icon_size) = 0;
  // Draws the picture stretched to `dest`, with its own alpha and at `opacity` percent.
  virtual void DrawPicture(const Picture& picture, const Rect& dest, int opacity_percent) = 0;
};

// The text with '&' marks resolved: "&&" is one '&', "&x" is x underlined (the last
// such mark counts), a lone '&' at the end is dropped.
struct PrefixedText {
  std::string text;
  int underlined = -1;  // byte index into text, or -1
};
PrefixedText ResolvePrefixes(std::string_view text);

}  // namespace movarin::skin
