#pragma once
// Reads an HTML page into a small tree for the page view. The page comes from the
// network and is treated as hostile: any bytes are accepted, broken and mis-nested markup
// is repaired the way browsers repair the common cases, and limits on nodes, nesting and
// attribute sizes keep a page from making the reader or the layout work without bound.
// Scripts, styles and everything else that is never shown are dropped while reading.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace movarin::pageview {

struct Attribute {
  std::string name;   // lower case
  std::string value;  // entities decoded
};

struct Node {
  enum class Kind : std::uint8_t { kElement, kText };
  Kind kind = Kind::kElement;
  // Element: the tag name in lower case.
  std::string name;
  // Text: UTF-8 with entities decoded, blanks as in the page.
  std::string text;
  std::vector<Attribute> attributes;
  // Indices into Document::nodes.
  std::vector<std::uint32_t> children;

  // The value of an attribute (lower-case name), or nullptr when the element has none.
  const std::string* FindAttribute(std::string_view attribute_name) const;
};

struct Document {
  // nodes[0] is the root (ReadHtml always makes one); every other node is a child of
  // exactly one earlier node.
  std::vector<Node> nodes;
  std::string title;
  // True when the node limit was reached and the rest of the page was dropped.
  bool truncated = false;

  const Node& root() const { return nodes.front(); }
};

struct ReaderLimits {
  std::size_t max_nodes = 100'000;
  // Elements nested deeper than this are read, but their content goes to the deepest
  // allowed element, so the tree never grows deeper.
  std::size_t max_depth = 64;
  // An attribute whose value is longer than this is dropped.
  std::size_t max_attribute_bytes = 64 * 1024;
  std::size_t max_attributes = 64;
};

Document ReadHtml(std::string_view bytes, const ReaderLimits& limits = {});

// The page's text as UTF-8: kept as it is when it is valid UTF-8 (a byte order mark
// removed), otherwise read as Windows-1252. NUL bytes become U+FFFD.
std::string PageTextToUtf8(std::string_view bytes);

// Replaces character references ("&amp;", "&#233;", "&#xE9;", "&eacute;") by their
// characters; an unknown or malformed reference stays as written.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace movarin::pageview
