// Hostile pages for the page view: the reader must build a well-formed tree within its
// limits, and the layout and the address rules must accept whatever it built.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pageview/html_reader.h"
#include "pageview/page_address.h"
#include "pageview/page_layout.h"

namespace {

using namespace movarin::pageview;

void Check(bool condition) {
  if (!condition) std::abort();
}

class FixedMeasurer final : public TextMeasurer {
 public:
  FontMetrics Metrics(const TextStyle& style) override {
    const int size = style.heading ? 24 : 16;
    return {size, size * 3 / 4};
  }
  int Width(std::string_view utf8, const TextStyle& style) override {
    return static_cast<int>(utf8.size()) * (style.heading ? 10 : 7);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReaderLimits limits;
  limits.max_nodes = 5000;
  limits.max_attribute_bytes = 1024;
  const Document document = ReadHtml(bytes, limits);
  Check(!document.nodes.empty() && document.nodes.size() <= limits.max_nodes);
  // Every node but the root is the child of exactly one earlier node.
  std::vector<std::uint8_t> parents(document.nodes.size(), 0);
  std::vector<std::size_t> depth(document.nodes.size(), 0);
  for (std::size_t i = 0; i < document.nodes.size(); ++i) {
    const Node& node = document.nodes[i];
    if (node.kind == Node::Kind::kText) Check(node.children.empty());
    for (const std::uint32_t child : node.children) {
      Check(child > i && child < document.nodes.size());
      Check(++parents[child] == 1);
      depth[child] = depth[i] + 1;
      Check(depth[child] <= limits.max_depth + 1);
    }
    for (const Attribute& attribute : node.attributes) Check(attribute.value.size() <= limits.max_attribute_bytes);
    Check(node.attributes.size() <= limits.max_attributes);
  }

  FixedMeasurer measurer;
  LayoutOptions options;
  options.width = 300;
  const PictureSizes sizes = [](const std::string& source) -> std::optional<PictureSize> {
    if (source.size() % 2) return std::nullopt;
    return PictureSize{static_cast<int>(source.size() * 7 % 5000) + 1, static_cast<int>(source.size() % 300) + 1};
  };
  const DisplayList list = LayOutPage(document, measurer, sizes, options);
  Check(list.height >= 2 * options.margin);
  Check(list.pictures.size() <= kMaxPictures);
  std::size_t hit_tests = 0;
  for (const DisplayItem& item : list.items) {
    Check(item.box.y >= 0 && item.box.y <= list.height);
    Check(item.box.width >= 0 && item.box.height >= 0);
    Check(item.link < static_cast<int>(list.links.size()));
    if (item.kind == DisplayItem::Kind::kPicture) {
      Check(item.box.width <= kMaxPictureSide && item.box.height <= kMaxPictureSide);
    }
    // Hit-testing walks every item: a few points suffice.
    if (++hit_tests <= 16) {
      if (auto link = LinkAt(list, item.box.x, item.box.y)) Check(*link < list.links.size());
    }
  }
  for (const std::string& href : list.links) {
    if (auto address = ResolveAddress("http://127.0.0.1:8080/Ads2.htm", href, LinkUse::kFollow)) {
      for (const char c : *address) Check(static_cast<unsigned char>(c) > 0x20 && c != '"');
      Check(address->starts_with("http://") || address->starts_with("https://") ||
            address->starts_with("mailto:"));
    }
  }
  return 0;
}
