#include "catalogue/jet/usage_map.h"

#include <algorithm>

namespace movarin::catalogue::jet {
namespace {

enum class MapType : std::uint8_t { kInline = 0, kPageList = 1 };

// Marks the pages of one bitmap: bit k (least significant first) is page start + k.
base::Result<void, Error> MarkBitmap(const base::ByteReader& bitmap, std::uint64_t start, std::uint32_t page_count,
                 std::vector<bool>& owned) {
  for (std::size_t byte_index = 0; byte_index < bitmap.size(); ++byte_index) {
    const auto byte = *bitmap.U8(byte_index);
    if (byte == 0) continue;
    for (int bit = 0; bit < 8; ++bit) {
      if ((byte & (1u << bit)) == 0) continue;
      const std::uint64_t page = start + byte_index * 8 + bit;
      if (page >= page_count) return Error::kPageOutOfRange;
      owned[static_cast<std::size_t>(page)] = true;
    }
  }
  return {};
}

}  // namespace

base::Result<std::vector<std::uint32_t>, Error> ReadUsageMap(const PageFile& file, std::uint32_t stored_pointer) {
  const auto pointer = RowPointer::FromStored(stored_pointer);
  auto page = file.TypedPage(pointer.page, PageType::kData, Error::kNotUsageMapRow);
  if (!page) return page.error();
  // A map row lives on a data page that belongs to no table.
  if (page->U32(page::kOwnerOffset) != 0u) return Error::kNotUsageMapRow;
  auto slot = PageFile::Row(*page, file.layout(), pointer.row);
  if (!slot) return slot.error();
  if (slot->deleted || slot->moved_away) return Error::kNotUsageMapRow;
  const base::ByteReader& map = slot->bytes;
  const auto type = map.U8(usage_map::kTypeOffset);
  if (!type) return Error::kUsageMapMalformed;

  const std::uint32_t page_count = file.page_count();
  std::vector<bool> owned(page_count, false);
  if (*type == static_cast<std::uint8_t>(MapType::kInline)) {
    const auto start = map.U32(usage_map::kStartPageOffset);
    const auto bitmap = map.Sub(usage_map::kInlineBitmapOffset,
                                map.size() - std::min(map.size(), usage_map::kInlineBitmapOffset));
    if (!start || !bitmap) return Error::kUsageMapMalformed;
    if (auto marked = MarkBitmap(*bitmap, *start, page_count, owned); !marked) return marked.error();
  } else if (*type == static_cast<std::uint8_t>(MapType::kPageList)) {
    const std::size_t bitmap_offset = page::kUsageMapPageBitmapOffset;
    const std::uint64_t pages_per_map_page = (file.page_size() - bitmap_offset) * 8;
    std::vector<bool> seen_map_pages(page_count, false);
    constexpr std::size_t kSize = usage_map::kPageNumberSize;
    for (std::size_t entry = 0; usage_map::kPageListOffset + (entry + 1) * kSize <= map.size(); ++entry) {
      const auto map_page_number = *map.U32(usage_map::kPageListOffset + entry * kSize);
      if (map_page_number == 0) continue;
      auto map_page = file.TypedPage(map_page_number, PageType::kUsageMap, Error::kNotUsageMapPage);
      if (!map_page) return map_page.error();
      if (seen_map_pages[map_page_number]) return Error::kUsageMapMalformed;
      seen_map_pages[map_page_number] = true;
      const auto bitmap = *map_page->Sub(bitmap_offset, map_page->size() - bitmap_offset);
      if (auto marked = MarkBitmap(bitmap, entry * pages_per_map_page, page_count, owned); !marked) {
        return marked.error();
      }
    }
  } else {
    return Error::kUsageMapMalformed;
  }
  std::vector<std::uint32_t> pages;
  for (std::uint32_t number = 0; number < page_count; ++number) {
    if (owned[number]) pages.push_back(number);
  }
  return pages;
}

}  // namespace movarin::catalogue::jet
