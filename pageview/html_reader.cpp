#include "pageview/html_reader.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/ascii.h"
#include "base/utf.h"

namespace movarin::pageview {

namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// ---- Character references ------------------------------------------------------------

struct NamedReference {
  std::string_view name;
  char32_t code_point;
};
// The references pages commonly use; others stay as written.
constexpr NamedReference kNamedReferences[] = {
    {"amp", U'&'},       {"lt", U'<'},         {"gt", U'>'},         {"quot", U'"'},
    {"apos", U'\''},     {"nbsp", 0xA0},       {"copy", 0xA9},       {"reg", 0xAE},
    {"trade", 0x2122},   {"hellip", 0x2026},   {"mdash", 0x2014},    {"ndash", 0x2013},
    {"lsquo", 0x2018},   {"rsquo", 0x2019},    {"ldquo", 0x201C},    {"rdquo", 0x201D},
    {"laquo", 0xAB},     {"raquo", 0xBB},      {"bull", 0x2022},     {"middot", 0xB7},
    {"euro", 0x20AC},    {"pound", 0xA3},      {"yen", 0xA5},        {"cent", 0xA2},
    {"sect", 0xA7},      {"deg", 0xB0},        {"para", 0xB6},       {"times", 0xD7},
    {"divide", 0xF7},    {"iexcl", 0xA1},      {"iquest", 0xBF},     {"shy", 0xAD},
    {"auml", 0xE4},      {"ouml", 0xF6},       {"uuml", 0xFC},       {"Auml", 0xC4},
    {"Ouml", 0xD6},      {"Uuml", 0xDC},       {"szlig", 0xDF},      {"eacute", 0xE9},
    {"egrave", 0xE8},    {"ecirc", 0xEA},      {"aacute", 0xE1},     {"agrave", 0xE0},
    {"acirc", 0xE2},     {"ccedil", 0xE7},     {"ntilde", 0xF1},     {"oacute", 0xF3},
    {"iacute", 0xED},    {"uacute", 0xFA},     {"Eacute", 0xC9},     {"aring", 0xE5},
    {"oslash", 0xF8},    {"aelig", 0xE6},
};
// Legacy references that browsers also read without their semicolon.
constexpr std::string_view kBareReferences[] = {"amp", "lt", "gt", "quot", "nbsp", "copy", "reg"};

// Windows-1252's characters for the bytes 0x80 to 0x9F (0 where it has none); numeric
// references in that range mean them too.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

char32_t NumericReferenceValue(std::uint32_t value, bool overflow) {
  if (overflow || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
  if (value >= 0x80 && value <= 0x9F) {
    const char32_t mapped = kWindows1252High[value - 0x80];
    return mapped ? mapped : kReplacement;
  }
  return value;
}

// Reads one reference starting at text[at] == '&'; the characters it stands for go to
// `out` and the number of bytes it took is returned (0 when it is no reference).
std::size_t ReadReference(std::string_view text, std::size_t at, std::string& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digits_start = i;
    std::uint32_t value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      int digit = -1;
      if (IsAsciiDigit(c)) {
        digit = c - '0';
      } else if (hex && c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (hex && c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      }
      if (digit < 0) break;
      if (value > 0x10FFFF) {
        overflow = true;
      } else {
        value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(digit);
      }
    }
    if (i == digits_start) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    base::AppendUtf8(NumericReferenceValue(value, overflow), out);
    return i - at;
  }
  std::size_t end = i;
  while (end < text.size() && end - i < 16 && IsAsciiAlnum(text[end])) ++end;
  const std::string_view name = text.substr(i, end - i);
  if (name.empty()) return 0;
  const bool semicolon = end < text.size() && text[end] == ';';
  for (const NamedReference& reference : kNamedReferences) {
    if (reference.name != name) continue;
    if (!semicolon && std::find(std::begin(kBareReferences), std::end(kBareReferences), name) ==
                          std::end(kBareReferences)) {
      return 0;
    }
    base::AppendUtf8(reference.code_point, out);
    return end - at + (semicolon ? 1 : 0);
  }
  return 0;
}

// ---- Which element does what ------------------------------------------------------------

bool IsVoid(std::string_view name) {
  return OneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
                      "source", "track", "wbr", "basefont", "bgsound", "keygen", "frame", "image"});
}

// Elements whose content is never shown; their text is skipped unread.
bool IsSkippedContent(std::string_view name) {
  return OneOf(name, {"script", "style", "textarea", "xmp", "iframe", "noembed", "noframes", "template",
                      "object", "applet", "select", "svg", "math"});
}

// Start tags that end an open paragraph.
bool ClosesParagraph(std::string_view name) {
  return OneOf(name, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir",
                      "div", "dl", "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2",
                      "h3", "h4", "h5", "h6", "header", "hr", "main", "menu", "nav", "ol", "p", "pre",
                      "section", "table", "ul", "li", "dd", "dt", "listing"});
}

bool IsHeading(std::string_view name) { return OneOf(name, {"h1", "h2", "h3", "h4", "h5", "h6"}); }

// Elements a search for an open element does not look beyond.
bool IsScopeBoundary(std::string_view name) { return OneOf(name, {"table", "td", "th", "caption"}); }

// Tags that make no node: the page's frame, and head elements that are never shown.
bool IsIgnoredTag(std::string_view name) {
  return OneOf(name, {"html", "head", "body", "meta", "link", "base", "tbody", "thead", "tfoot",
                      "colgroup", "col", "frameset", "frame"});
}

// ---- The reader -----------------------------------------------------------------------------

class Reader {
 public:
  Reader(std::string_view text, const ReaderLimits& limits) : text_(text), limits_(limits) {
    document_.nodes.emplace_back();
    document_.nodes.front().name = "#root";
    open_.push_back(0);
  }

  Document Run() {
    while (pos_ < text_.size() && !stopped_) {
      if (text_[pos_] == '<' && ReadMarkup()) continue;
      ReadText();
    }
    return std::move(document_);
  }

 private:
  // Reads the markup at pos_ ('<'); false when the '<' is plain text.
  bool ReadMarkup() {
    const std::string_view rest = text_.substr(pos_);
    if (rest.starts_with("<!--")) {
      const std::size_t end = text_.find("-->", pos_ + 4);
      pos_ = end == std::string_view::npos ? text_.size() : end + 3;
      return true;
    }
    if (rest.starts_with("<!") || rest.starts_with("<?")) {
      const std::size_t end = text_.find('>', pos_);
      pos_ = end == std::string_view::npos ? text_.size() : end + 1;
      return true;
    }
    if (rest.size() >= 3 && rest[1] == '/' && IsAsciiLetter(rest[2])) {
      ReadEndTag();
      return true;
    }
    if (rest.size() >= 2 && IsAsciiLetter(rest[1])) {
      ReadStartTag();
      return true;
    }
    if (rest.starts_with("</")) {
      // "</>" and "</ x>": markup that says nothing.
      const std::size_t end = text_.find('>', pos_);
      pos_ = end == std::string_view::npos ? text_.size() : end + 1;
      return true;
    }
    return false;
  }

  std::string ReadTagName() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsHtmlSpace(text_[pos_]) && text_[pos_] != '/' && text_[pos_] != '>') {
      ++pos_;
    }
    // Names longer than any real tag are cut; they match nothing either way.
    return base::LowerAscii(text_.substr(start, std::min<std::size_t>(pos_ - start, 32)));
  }

  void ReadEndTag() {
    pos_ += 2;
    const std::string name = ReadTagName();
    // Whatever follows the name up to '>' is ignored (quotes included, as browsers do).
    const std::size_t end = text_.find('>', pos_);
    if (end == std::string_view::npos) {
      pos_ = text_.size();
      return;
    }
    pos_ = end + 1;
    CloseElement(name);
  }

  // Reads the attributes up to the end of the tag; false when the page ends inside it.
  bool ReadAttributes(std::vector<Attribute>& attributes) {
    for (;;) {
      while (pos_ < text_.size() && (IsHtmlSpace(text_[pos_]) || text_[pos_] == '/')) ++pos_;
      if (pos_ >= text_.size()) return false;
      if (text_[pos_] == '>') {
        ++pos_;
        return true;
      }
      const std::size_t name_start = pos_;
      ++pos_;  // a first '=' belongs to the name
      while (pos_ < text_.size() && !IsHtmlSpace(text_[pos_]) && text_[pos_] != '/' && text_[pos_] != '>' &&
             text_[pos_] != '=') {
        ++pos_;
      }
      const std::string_view name = text_.substr(name_start, pos_ - name_start);
      while (pos_ < text_.size() && IsHtmlSpace(text_[pos_])) ++pos_;
      std::string_view value;
      if (pos_ < text_.size() && text_[pos_] == '=') {
        ++pos_;
        while (pos_ < text_.size() && IsHtmlSpace(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) return false;
        const char quote = text_[pos_];
        if (quote == '"' || quote == '\'') {
          const std::size_t end = text_.find(quote, pos_ + 1);
          if (end == std::string_view::npos) return false;
          value = text_.substr(pos_ + 1, end - pos_ - 1);
          pos_ = end + 1;
        } else {
          const std::size_t start = pos_;
          while (pos_ < text_.size() && !IsHtmlSpace(text_[pos_]) && text_[pos_] != '>') ++pos_;
          value = text_.substr(start, pos_ - start);
        }
      }
      if (attributes.size() >= limits_.max_attributes || value.size() > limits_.max_attribute_bytes ||
          name.size() > 64) {
        continue;
      }
      std::string lower_name = base::LowerAscii(name);
      const bool duplicate = std::any_of(attributes.begin(), attributes.end(),
                                         [&](const Attribute& a) { return a.name == lower_name; });
      if (!duplicate) attributes.push_back({std::move(lower_name), DecodeCharacterReferences(value)});
    }
  }

  void ReadStartTag() {
    ++pos_;
    std::string name = ReadTagName();
    std::vector<Attribute> attributes;
    if (!ReadAttributes(attributes)) {
      // The page ends inside the tag: the tag is dropped.
      pos_ = text_.size();
      return;
    }
    if (name == "title") {
      std::string title = DecodeCharacterReferences(SkipRawText(name));
      if (document_.title.empty()) document_.title = std::move(title);
      return;
    }
    if (IsSkippedContent(name)) {
      SkipRawText(name);
      return;
    }
    if (name == "image") name = "img";
    if (IsIgnoredTag(name)) return;
    OpenElement(std::move(name), std::move(attributes));
  }

  // The text up to the matching end tag (which is consumed), or to the end of the page.
  std::string_view SkipRawText(std::string_view name) {
    const std::size_t start = pos_;
    std::size_t search = pos_;
    for (;;) {
      const std::size_t lt = text_.find("</", search);
      if (lt == std::string_view::npos) {
        pos_ = text_.size();
        return text_.substr(start);
      }
      const std::size_t after = lt + 2 + name.size();
      if (base::StartsWithIgnoringAsciiCase(text_.substr(lt + 2), name) &&
          (after == text_.size() || IsHtmlSpace(text_[after]) || text_[after] == '>' || text_[after] == '/')) {
        const std::size_t end = text_.find('>', after);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        return text_.substr(start, lt - start);
      }
      search = lt + 2;
    }
  }

  void ReadText() {
    const std::size_t start = pos_;
    // A '<' that starts no markup is text as well.
    std::size_t end = text_.find('<', pos_ + 1);
    if (end == std::string_view::npos) end = text_.size();
    pos_ = end;
    AppendText(DecodeCharacterReferences(text_.substr(start, end - start)));
  }

  Node& Current() { return document_.nodes[open_.back()]; }
  const std::string& OpenName(std::size_t depth) const { return document_.nodes[open_[depth]].name; }

  // The depth of the nearest open element called `name`, not looking beyond `boundary`
  // elements; 0 (the root) when there is none.
  std::size_t FindOpen(std::string_view name, bool (*boundary)(std::string_view)) const {
    for (std::size_t depth = open_.size() - 1; depth > 0; --depth) {
      if (OpenName(depth) == name) return depth;
      if (boundary && boundary(OpenName(depth))) return 0;
    }
    return 0;
  }

  void PopTo(std::size_t depth) {
    if (depth > 0) open_.resize(depth);
  }

  // Closes an open element of one of `names`, searching from the innermost element down to
  // one of `stops` (not included).
  void CloseAnyOf(std::initializer_list<std::string_view> names, std::initializer_list<std::string_view> stops) {
    for (std::size_t depth = open_.size() - 1; depth > 0; --depth) {
      const std::string& open = OpenName(depth);
      if (OneOf(open, stops)) return;
      if (OneOf(open, names)) {
        PopTo(depth);
        return;
      }
    }
  }

  bool AddNode(Node node) {
    if (document_.nodes.size() >= limits_.max_nodes) {
      document_.truncated = true;
      stopped_ = true;
      return false;
    }
    const auto index = static_cast<std::uint32_t>(document_.nodes.size());
    Current().children.push_back(index);
    document_.nodes.push_back(std::move(node));
    return true;
  }

  void OpenElement(std::string name, std::vector<Attribute> attributes) {
    if (ClosesParagraph(name)) PopTo(FindOpen("p", IsScopeBoundary));
    if (IsHeading(name) && IsHeading(Current().name)) PopTo(open_.size() - 1);
    if (name == "li") CloseAnyOf({"li"}, {"ul", "ol", "menu", "dir", "table", "td", "th"});
    if (name == "dd" || name == "dt") CloseAnyOf({"dd", "dt"}, {"dl", "table", "td", "th"});
    if (name == "tr") CloseAnyOf({"tr"}, {"table"});
    if (name == "td" || name == "th") CloseAnyOf({"td", "th"}, {"tr", "table"});
    if (name == "a") PopTo(FindOpen("a", IsScopeBoundary));
    Node node;
    node.kind = Node::Kind::kElement;
    node.name = std::move(name);
    node.attributes = std::move(attributes);
    const bool push = !IsVoid(node.name) && open_.size() <= limits_.max_depth;
    if (!AddNode(std::move(node))) return;
    if (push) open_.push_back(static_cast<std::uint32_t>(document_.nodes.size() - 1));
  }

  void CloseElement(const std::string& name) {
    if (name == "br") {
      OpenElement("br", {});
      return;
    }
    if (IsIgnoredTag(name)) return;
    if (IsHeading(name)) {
      // Any heading's end tag ends the open heading.
      for (std::size_t depth = open_.size() - 1; depth > 0; --depth) {
        if (IsHeading(OpenName(depth))) {
          PopTo(depth);
          return;
        }
        if (IsScopeBoundary(OpenName(depth))) return;
      }
      return;
    }
    const bool is_table_part = OneOf(name, {"td", "th", "tr", "caption"});
    const bool is_table = name == "table";
    for (std::size_t depth = open_.size() - 1; depth > 0; --depth) {
      const std::string& open = OpenName(depth);
      if (open == name) {
        PopTo(depth);
        return;
      }
      // An end tag does not reach out of a cell or table it was not opened in.
      if (!is_table && (open == "table" || (!is_table_part && IsScopeBoundary(open)))) return;
    }
  }

  void AppendText(std::string text) {
    if (text.empty()) return;
    Node& parent = Current();
    if (!parent.children.empty()) {
      Node& last = document_.nodes[parent.children.back()];
      if (last.kind == Node::Kind::kText) {
        last.text += text;
        return;
      }
    }
    Node node;
    node.kind = Node::Kind::kText;
    node.text = std::move(text);
    AddNode(std::move(node));
  }

  std::string_view text_;
  const ReaderLimits& limits_;
  std::size_t pos_ = 0;
  bool stopped_ = false;
  Document document_;
  // Indices of the open elements, the root first.
  std::vector<std::uint32_t> open_;
};

}  // namespace

const std::string* Node::FindAttribute(std::string_view attribute_name) const {
  for (const Attribute& attribute : attributes) {
    if (attribute.name == attribute_name) return &attribute.value;
  }
  return nullptr;
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, amp - i));
    const std::size_t used = ReadReference(text, amp, out);
    if (used == 0) {
      out.push_back('&');
      i = amp + 1;
    } else {
      i = amp + used;
    }
  }
  return out;
}

std::string PageTextToUtf8(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::string out;
  if (base::Utf8ToUtf16Strict(bytes)) {
    out.reserve(bytes.size());
    for (const char c : bytes) {
      if (c == '\0') {
        base::AppendUtf8(kReplacement, out);
      } else {
        out.push_back(c);
      }
    }
    return out;
  }
  out.reserve(bytes.size() + bytes.size() / 4);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) {
      base::AppendUtf8(kReplacement, out);
    } else if (byte < 0x80) {
      out.push_back(c);
    } else if (byte < 0xA0) {
      const char32_t mapped = kWindows1252High[byte - 0x80];
      base::AppendUtf8(mapped ? mapped : kReplacement, out);
    } else {
      base::AppendUtf8(byte, out);
    }
  }
  return out;
}

Document ReadHtml(std::string_view bytes, const ReaderLimits& limits) {
  const std::string text = PageTextToUtf8(bytes);
  return Reader(text, limits).Run();
}

}  // namespace movarin::pageview
