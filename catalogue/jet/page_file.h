// A database file seen as numbered pages, and the rows stored on a page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/byte_reader.h"
#include "catalogue/jet/format.h"
#include "catalogue/jet/jet_error.h"

namespace movarin::catalogue::jet {

// A row address as Jet stores it: page << 8 | row.
struct RowPointer {
  std::uint32_t page = 0;
  std::uint32_t row = 0;
  static RowPointer FromStored(std::uint32_t stored) { return {stored >> 8, stored & 0xFF}; }
};

// One row slot of a page: its bytes and what the flags of its offset entry say.
struct RowSlot {
  base::ByteReader bytes;
  bool deleted = false;
  bool moved_away = false;  // the bytes are a 4-byte pointer to where the row lives now
  bool moved_here = false;  // a live row that moved here from a slot elsewhere
};

class PageFile {
 public:
  PageFile(std::span<const std::uint8_t> file, const Layout& layout)
      : file_(file), layout_(&layout) {}

  const Layout& layout() const { return *layout_; }
  std::size_t page_size() const { return layout_->page_size; }
  std::uint32_t page_count() const {
    return static_cast<std::uint32_t>(file_.size() / layout_->page_size);
  }

  base::Result<base::ByteReader, Error> Page(std::uint32_t number) const;
  // A page of the given type; owner checks are the caller's.
  base::Result<base::ByteReader, Error> TypedPage(std::uint32_t number, PageType type, Error wrong_type) const;

  // Number of row slots on a data page (checked against the page's room for offsets).
  static base::Result<std::size_t, Error> RowCount(const base::ByteReader& page, const Layout& layout);
  // Slot `row` of a data page: [offset & 0x1FFF, end of the previous row or page end).
  static base::Result<RowSlot, Error> Row(const base::ByteReader& page, const Layout& layout, std::size_t row);

 private:
  std::span<const std::uint8_t> file_;
  const Layout* layout_;
};

}  // namespace movarin::catalogue::jet
