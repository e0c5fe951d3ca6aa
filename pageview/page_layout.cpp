#include "pageview/page_layout.h"

#include <algorithm>
#include <initializer_list>

#include "base/ascii.h"

namespace movarin::pageview {

namespace {

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsBlock(std::string_view name) {
  return OneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "center", "ul", "ol", "li", "dl", "dt",
                      "dd", "blockquote", "table", "tr", "caption", "pre", "address", "form", "section",
                      "article", "header", "footer", "nav", "main", "aside", "figure", "figcaption",
                      "fieldset", "details", "summary", "dialog", "menu", "dir", "listing", "legend"});
}

enum class Align { kLeft, kCenter, kRight };

std::optional<Align> AlignFromText(std::string_view text) {
  std::string lower;
  for (const char c : text) {
    if (!IsBlankByte(c)) lower.push_back(base::LowerAscii(c));
  }
  if (lower == "center" || lower == "middle") return Align::kCenter;
  if (lower == "right") return Align::kRight;
  if (lower == "left" || lower == "justify") return Align::kLeft;
  return std::nullopt;
}

// The alignment an element asks for: its align attribute, or text-align in its style.
std::optional<Align> ElementAlign(const Node& element) {
  if (element.name == "center") return Align::kCenter;
  if (const std::string* align = element.FindAttribute("align")) {
    if (auto value = AlignFromText(*align)) return value;
  }
  if (const std::string* style = element.FindAttribute("style")) {
    const std::string lower = base::LowerAscii(*style);
    const std::size_t at = lower.find("text-align");
    if (at != std::string::npos) {
      const std::size_t colon = lower.find(':', at);
      if (colon != std::string::npos) {
        const std::size_t end = lower.find(';', colon);
        return AlignFromText(std::string_view(lower).substr(colon + 1, end == std::string::npos ? end : end - colon - 1));
      }
    }
  }
  return std::nullopt;
}

// A size written in the page ("120", "120px"); nullopt for percentages and nonsense.
std::optional<int> PixelAttribute(const Node& element, std::string_view name) {
  const std::string* text = element.FindAttribute(name);
  if (!text) return std::nullopt;
  std::string_view value = *text;
  while (!value.empty() && IsBlankByte(value.front())) value.remove_prefix(1);
  long long number = 0;
  std::size_t digits = 0;
  while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9' && number <= kMaxPictureSide) {
    number = number * 10 + (value[digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  std::string_view rest = value.substr(digits);
  while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') rest.remove_prefix(1);
  if (rest.starts_with("%")) return std::nullopt;
  return static_cast<int>(std::min<long long>(number, kMaxPictureSide));
}

class Layout {
 public:
  Layout(const Document& document, TextMeasurer& measurer, const PictureSizes& pictures,
         const LayoutOptions& options)
      : document_(document), measurer_(measurer), pictures_(pictures), options_(options) {
    body_ = measurer_.Metrics(TextStyle{});
    em_ = std::max(1, body_.height);
    y_ = options_.margin;
  }

  DisplayList Run() {
    if (!document_.nodes.empty()) Walk(document_.root());
    FinishLine();
    list_.width = options_.width;
    list_.height = y_ + options_.margin;
    return std::move(list_);
  }

 private:
  // What is inherited down the tree.
  struct Context {
    TextStyle style;
    int link = -1;
    Align align = Align::kLeft;
    int indent = 0;
    bool preformatted = false;
  };

  // An item of the line being filled, with what its vertical place needs.
  struct Pending {
    std::size_t item = 0;
    int ascent = 0;
    int descent = 0;
  };

  int Available() const {
    return std::max(em_, options_.width - 2 * options_.margin - context_.indent);
  }
  int Left() const { return options_.margin + context_.indent; }

  int Scaled(int size) const {
    const long long scaled = static_cast<long long>(size) * options_.scale_percent / 100;
    return static_cast<int>(std::clamp<long long>(scaled, 0, kMaxPictureSide));
  }

  int SpaceWidth(const TextStyle& style) {
    for (const auto& [cached_style, width] : space_widths_) {
      if (cached_style == style) return width;
    }
    const int width = measurer_.Width(" ", style);
    space_widths_.emplace_back(style, width);
    return width;
  }

  // Starts content on the line: a margin waiting above it is added first.
  void BeginContent() {
    if (line_.empty() && gap_ > 0) {
      y_ += gap_;
      gap_ = 0;
    }
  }

  void AddToLine(DisplayItem item, int ascent, int descent) {
    BeginContent();
    if (line_.empty()) {
      line_align_ = context_.align;
      line_right_ = Left() + Available();
    }
    list_.items.push_back(std::move(item));
    line_.push_back({list_.items.size() - 1, ascent, descent});
  }

  void FinishLine() {
    if (line_.empty()) return;
    int ascent = 0, descent = 0, right = 0;
    for (const Pending& p : line_) {
      ascent = std::max(ascent, p.ascent);
      descent = std::max(descent, p.descent);
      const Box& box = list_.items[p.item].box;
      right = std::max(right, box.x + box.width);
    }
    const int slack = line_right_ - right;
    int shift = 0;
    if (slack > 0 && line_align_ == Align::kCenter) shift = slack / 2;
    if (slack > 0 && line_align_ == Align::kRight) shift = slack;
    for (const Pending& p : line_) {
      Box& box = list_.items[p.item].box;
      box.x += shift;
      box.y = y_ + ascent - p.ascent;
    }
    y_ += ascent + descent;
    line_.clear();
    line_x_ = 0;
    space_ = false;
  }

  // Ends the line; on an empty line, a line break makes an empty line of body text.
  void LineBreak() {
    if (line_.empty()) {
      BeginContent();
      y_ += em_;
    } else {
      FinishLine();
    }
    space_ = false;
  }

  void AddMargin(int margin) {
    FinishLine();
    gap_ = std::max(gap_, margin);
  }

  void PlaceWord(std::string_view word) {
    const TextStyle& style = context_.style;
    const int width = measurer_.Width(word, style);
    int space = (space_ && line_x_ > 0) ? SpaceWidth(style) : 0;
    if (line_x_ > 0 && line_x_ + space + width > Available()) {
      FinishLine();
      space = 0;
    }
    // Words of one style and link run on in one text item.
    if (line_x_ > 0) {
      DisplayItem& last = list_.items[line_.back().item];
      if (last.kind == DisplayItem::Kind::kText && last.style == style && last.link == context_.link &&
          last.box.x + last.box.width == Left() + line_x_) {
        if (space > 0) last.text.push_back(' ');
        last.text.append(word);
        last.box.width += space + width;
        line_x_ += space + width;
        space_ = false;
        return;
      }
    }
    const FontMetrics metrics = measurer_.Metrics(style);
    DisplayItem item;
    item.kind = DisplayItem::Kind::kText;
    item.box = {Left() + line_x_ + space, 0, width, metrics.height};
    item.text = std::string(word);
    item.style = style;
    item.link = context_.link;
    AddToLine(std::move(item), metrics.ascent, metrics.height - metrics.ascent);
    line_x_ += space + width;
    space_ = false;
  }

  void PlaceText(std::string_view text) {
    if (context_.preformatted) {
      // Lines as written, without wrapping.
      std::size_t start = 0;
      while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) PlaceWord(line);
        if (end == std::string_view::npos) break;
        LineBreak();
        start = end + 1;
      }
      return;
    }
    std::size_t i = 0;
    while (i < text.size()) {
      if (IsBlankByte(text[i])) {
        space_ = space_ || line_x_ > 0;
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < text.size() && !IsBlankByte(text[end])) ++end;
      PlaceWord(text.substr(i, end - i));
      i = end;
    }
  }

  void PlacePicture(const Node& element) {
    const std::string* source = element.FindAttribute("src");
    if (!source || source->empty()) return;
    const bool listed = std::find(list_.pictures.begin(), list_.pictures.end(), *source) != list_.pictures.end();
    const bool may_load = listed || list_.pictures.size() < kMaxPictures;
    if (!listed && may_load) list_.pictures.push_back(*source);
    std::optional<PictureSize> own = may_load && pictures_ ? pictures_(*source) : std::nullopt;
    std::optional<int> width = PixelAttribute(element, "width");
    std::optional<int> height = PixelAttribute(element, "height");
    if (own && own->width > 0 && own->height > 0) {
      // One size given: the other keeps the picture's proportions.
      if (width && !height) height = static_cast<int>(static_cast<long long>(*width) * own->height / own->width);
      if (height && !width) width = static_cast<int>(static_cast<long long>(*height) * own->width / own->height);
      if (!width) width = own->width;
      if (!height) height = own->height;
    }
    constexpr int kFrameSide = 24;
    const int w = std::max(1, Scaled(width.value_or(kFrameSide)));
    const int h = std::max(1, Scaled(height.value_or(kFrameSide)));
    int space = (space_ && line_x_ > 0) ? SpaceWidth(context_.style) : 0;
    if (line_x_ > 0 && line_x_ + space + w > Available()) {
      FinishLine();
      space = 0;
    }
    DisplayItem item;
    item.kind = own ? DisplayItem::Kind::kPicture : DisplayItem::Kind::kPictureFrame;
    item.box = {Left() + line_x_ + space, 0, w, h};
    item.source = *source;
    item.link = context_.link;
    AddToLine(std::move(item), h, 0);
    line_x_ += space + w;
    space_ = false;
  }

  void PlaceRule() {
    AddMargin(em_ / 2);
    BeginContent();
    DisplayItem item;
    item.kind = DisplayItem::Kind::kRule;
    item.box = {Left(), y_, Available(), 2};
    list_.items.push_back(std::move(item));
    y_ += 2;
    AddMargin(em_ / 2);
  }

  void PlaceListMarker(const std::string& marker) {
    const int width = measurer_.Width(marker, context_.style);
    const FontMetrics metrics = measurer_.Metrics(context_.style);
    DisplayItem item;
    item.kind = DisplayItem::Kind::kText;
    item.box = {std::max(0, Left() - width - em_ / 2), 0, width, metrics.height};
    item.text = marker;
    item.style = context_.style;
    AddToLine(std::move(item), metrics.ascent, metrics.height - metrics.ascent);
  }

  int BlockMargin(std::string_view name) const {
    if (OneOf(name, {"p", "ul", "ol", "dl", "blockquote", "table", "pre", "h1", "h2", "h3", "h4", "h5", "h6",
                     "listing", "figure"})) {
      return em_ * 3 / 4;
    }
    return 0;
  }

  void Walk(const Node& node) {
    for (const std::uint32_t child : node.children) {
      const Node& n = document_.nodes[child];
      if (n.kind == Node::Kind::kText) {
        PlaceText(n.text);
      } else {
        WalkElement(n);
      }
    }
  }

  void WalkElement(const Node& element) {
    const std::string& name = element.name;
    if (name == "br") return LineBreak();
    if (name == "img") return PlacePicture(element);
    if (name == "hr") return PlaceRule();
    if (OneOf(name, {"head", "title", "input", "button", "option"})) return;

    const Context saved = context_;
    const bool block = IsBlock(name);
    if (block) {
      AddMargin(BlockMargin(name));
      if (auto align = ElementAlign(element)) context_.align = *align;
    } else if (name == "td" || name == "th") {
      // Cells of a row stand side by side on the row's lines, a space of one em apart.
      if (line_x_ > 0) {
        line_x_ += em_;
        space_ = false;
      } else if (auto align = ElementAlign(element)) {
        context_.align = *align;
      }
    }

    const int indent_step = 2 * em_;
    const int max_indent = std::max(0, options_.width / 2);
    if (OneOf(name, {"ul", "ol", "dir", "menu", "blockquote", "dd"})) {
      context_.indent = std::min(max_indent, context_.indent + indent_step);
    }
    if (OneOf(name, {"ul", "ol", "dir", "menu"})) list_counters_.push_back({name == "ol", 0});
    if (name == "li") {
      std::string marker = "\xE2\x80\xA2";  // a bullet
      if (!list_counters_.empty() && list_counters_.back().numbered) {
        marker = std::to_string(++list_counters_.back().count) + ".";
      }
      PlaceListMarker(marker);
    }

    if (IsHeadingName(name)) {
      context_.style.heading = static_cast<std::uint8_t>(name[1] - '0');
      context_.style.bold = true;
    }
    if (OneOf(name, {"b", "strong", "th"})) context_.style.bold = true;
    if (OneOf(name, {"i", "em", "cite", "var", "dfn", "address"})) context_.style.italic = true;
    if (OneOf(name, {"u", "ins"})) context_.style.underline = true;
    if (name == "pre" || name == "listing" || name == "plaintext") context_.preformatted = true;
    if (name == "a") {
      if (const std::string* href = element.FindAttribute("href")) {
        context_.link = static_cast<int>(list_.links.size());
        list_.links.push_back(*href);
        context_.style.link = true;
        context_.style.underline = true;
      }
    }
    if (name == "caption") context_.align = Align::kCenter;

    Walk(element);

    if (OneOf(name, {"ul", "ol", "dir", "menu"})) list_counters_.pop_back();
    if (block) {
      AddMargin(BlockMargin(name));
    }
    // The line being filled keeps the alignment it started with.
    context_ = saved;
  }

  static bool IsHeadingName(std::string_view name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
  }

  struct ListCounter {
    bool numbered = false;
    int count = 0;
  };

  const Document& document_;
  TextMeasurer& measurer_;
  const PictureSizes& pictures_;
  const LayoutOptions& options_;
  FontMetrics body_;
  int em_ = 16;

  DisplayList list_;
  Context context_;
  std::vector<Pending> line_;
  Align line_align_ = Align::kLeft;
  // Where the line being filled may reach to: its alignment works within it.
  int line_right_ = 0;
  int line_x_ = 0;
  int y_ = 0;
  int gap_ = 0;
  bool space_ = false;
  std::vector<ListCounter> list_counters_;
  std::vector<std::pair<TextStyle, int>> space_widths_;
};

}  // namespace

DisplayList LayOutPage(const Document& document, TextMeasurer& measurer, const PictureSizes& pictures,
                       const LayoutOptions& options) {
  return Layout(document, measurer, pictures, options).Run();
}

std::optional<std::size_t> LinkAt(const DisplayList& list, int x, int y) {
  for (auto it = list.items.rbegin(); it != list.items.rend(); ++it) {
    if (it->link >= 0 && it->box.Contains(x, y)) return static_cast<std::size_t>(it->link);
  }
  return std::nullopt;
}

}  // namespace movarin::pageview
