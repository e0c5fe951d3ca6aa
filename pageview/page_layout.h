#pragma once
// Lays a read page out for the page view: headings, paragraphs, line breaks, bold and
// italic text, centred blocks, links, pictures, lists, rules and simple tables (each row
// a line of its cells) become a display list of positioned texts, pictures and rules.
// Text is measured through TextMeasurer, so the same layout runs against GDI in the
// program and against a fixed-width measurer in the unit tests. Positions are pixels
// from the top left corner of the page.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pageview/html_reader.h"

namespace movarin::pageview {

struct TextStyle {
  // 0 for body text, 1 to 6 for the headings h1 to h6.
  std::uint8_t heading = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  // Drawn in the link colour.
  bool link = false;

  bool operator==(const TextStyle&) const = default;
};

struct FontMetrics {
  int height = 0;  // from the top of the tallest letter to the bottom of the lowest
  int ascent = 0;  // from the top to the baseline
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual FontMetrics Metrics(const TextStyle& style) = 0;
  // The width of a UTF-8 text drawn in the style.
  virtual int Width(std::string_view utf8, const TextStyle& style) = 0;
};

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The own size of a picture by its src attribute as written, or nullopt while it is not
// loaded (or could not be loaded).
using PictureSizes = std::function<std::optional<PictureSize>(const std::string& source)>;

struct LayoutOptions {
  // The width of the view in pixels.
  int width = 490;
  // The blank border around the page.
  int margin = 8;
  // Sizes written in the page (picture widths and heights) are scaled by this, so they
  // keep their size on screens of higher DPI.
  int scale_percent = 100;
};

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct DisplayItem {
  enum class Kind : std::uint8_t {
    kText,
    kPicture,  // a loaded picture, drawn scaled to the box
    kPictureFrame,  // a picture not (yet) loaded: a frame of its size
    kRule,
  };
  Kind kind = Kind::kText;
  Box box;
  // kText: the UTF-8 text, drawn with its top at box.y.
  std::string text;
  TextStyle style;
  // kPicture, kPictureFrame: the src attribute as written.
  std::string source;
  // The index of the item's link in DisplayList::links, or -1.
  int link = -1;
};

struct DisplayList {
  std::vector<DisplayItem> items;
  // The href attributes of the page's links, as written, by link index.
  std::vector<std::string> links;
  // The src attributes of the page's pictures, as written, each once, in page order.
  std::vector<std::string> pictures;
  // The page's size, margins included.
  int width = 0;
  int height = 0;
};

DisplayList LayOutPage(const Document& document, TextMeasurer& measurer, const PictureSizes& pictures,
                       const LayoutOptions& options);

// The link under a point of the page, as an index into DisplayList::links.
std::optional<std::size_t> LinkAt(const DisplayList& list, int x, int y);

// At most this many distinct pictures are laid out and fetched; more stay frames.
inline constexpr std::size_t kMaxPictures = 64;
// A picture's box is never larger than this on either side.
inline constexpr int kMaxPictureSide = 4096;

}  // namespace movarin::pageview
