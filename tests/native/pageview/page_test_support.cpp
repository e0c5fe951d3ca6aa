#include "tests/native/pageview/page_test_support.h"

#include <algorithm>
#include <vector>

namespace movarin::pageview::testing {

namespace {

void DumpNode(const Document& document, const Node& node, std::string& out) {
  bool first = true;
  for (const std::uint32_t child : node.children) {
    if (!first) out.push_back(' ');
    first = false;
    const Node& n = document.nodes[child];
    if (n.kind == Node::Kind::kText) {
      out += '"' + n.text + '"';
    } else {
      out += n.name + "(";
      DumpNode(document, n, out);
      out += ")";
    }
  }
}

}  // namespace

std::string Dump(const Document& document) {
  std::string out;
  DumpNode(document, document.root(), out);
  return out;
}

std::size_t Depth(const Document& document) {
  // Iterative: the trees of these tests are deep on purpose.
  std::size_t deepest = 0;
  std::vector<std::pair<std::uint32_t, std::size_t>> stack{{0, 0}};
  while (!stack.empty()) {
    const auto [index, depth] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, depth);
    for (const std::uint32_t child : document.nodes[index].children) stack.push_back({child, depth + 1});
  }
  return deepest;
}

int FixedMeasurer::Scale(const TextStyle& style) {
  switch (style.heading) {
    case 1: return 200;
    case 2: return 150;
    default: return 100;
  }
}

FontMetrics FixedMeasurer::Metrics(const TextStyle& style) {
  return {16 * Scale(style) / 100, 12 * Scale(style) / 100};
}

int FixedMeasurer::Width(std::string_view utf8, const TextStyle& style) {
  int characters = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  return characters * 7 * Scale(style) / 100;
}

}  // namespace movarin::pageview::testing
