#pragma once
// What the page view's tests share: a tree printed as text, and a measurer with fixed
// letter widths so that positions can be worked out by hand.
#include <string>

#include "pageview/html_reader.h"
#include "pageview/page_layout.h"

namespace movarin::pageview::testing {

// The tree as `name(child child)` with texts in double quotes, the root left out:
// "<p>a<b>b</b></p>" gives `p("a" b("b"))`.
std::string Dump(const Document& document);

// The depth of the deepest node below the root.
std::size_t Depth(const Document& document);

// Every character (UTF-8 code point) is 7 pixels wide and body text 16 pixels high with
// its baseline 12 down; headings scale both (h1 twice, h2 one and a half, h3 and below
// like body text).
class FixedMeasurer final : public TextMeasurer {
 public:
  static int Scale(const TextStyle& style);  // percent
  FontMetrics Metrics(const TextStyle& style) override;
  int Width(std::string_view utf8, const TextStyle& style) override;
};

}  // namespace movarin::pageview::testing
