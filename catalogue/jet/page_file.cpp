#include "catalogue/jet/page_file.h"

namespace movarin::catalogue::jet {

base::Result<base::ByteReader, Error> PageFile::Page(std::uint32_t number) const {
  if (number >= page_count()) return Error::kPageOutOfRange;
  // page_count() guarantees the multiplication stays inside the file.
  return base::ByteReader(file_.subspan(static_cast<std::size_t>(number) * page_size(), page_size()));
}

base::Result<base::ByteReader, Error> PageFile::TypedPage(std::uint32_t number, PageType type,
                                       Error wrong_type) const {
  auto page = Page(number);
  if (!page) return page.error();
  if (page->U8(page::kTypeOffset) != static_cast<std::uint8_t>(type)) return wrong_type;
  return page;
}

base::Result<std::size_t, Error> PageFile::RowCount(const base::ByteReader& page, const Layout& layout) {
  const auto count = page.U16(layout.data_row_count_offset);
  if (!count) return Error::kTruncatedRead;
  // Every slot needs its 2-byte offset entry inside the page.
  if (!page.Covers(layout.data_row_offsets_start, std::size_t{*count} * 2)) {
    return Error::kRowPointerInvalid;
  }
  return std::size_t{*count};
}

base::Result<RowSlot, Error> PageFile::Row(const base::ByteReader& page, const Layout& layout, std::size_t row) {
  auto count = RowCount(page, layout);
  if (!count) return count.error();
  if (row >= *count) return Error::kRowPointerInvalid;
  const auto entry = *page.U16(layout.data_row_offsets_start + row * 2);
  std::size_t end = page.size();
  if (row > 0) {
    end = *page.U16(layout.data_row_offsets_start + (row - 1) * 2) & page::kRowOffsetMask;
  }
  const std::size_t start = entry & page::kRowOffsetMask;
  RowSlot slot;
  const auto flags = static_cast<std::uint16_t>(entry & page::kRowFlags);
  slot.deleted = flags == page::kRowFlags;
  slot.moved_away = flags == page::kRowMovedAway;
  slot.moved_here = flags == page::kRowMovedHere;
  if (slot.deleted) return slot;  // a deleted row's bounds are never used
  const std::size_t offsets_end = layout.data_row_offsets_start + *count * 2;
  if (start < offsets_end || start > end || end > page.size()) return Error::kRowMalformed;
  slot.bytes = *page.Sub(start, end - start);
  return slot;
}

}  // namespace movarin::catalogue::jet
