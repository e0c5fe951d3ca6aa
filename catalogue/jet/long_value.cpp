#include "catalogue/jet/long_value.h"

#include <set>

namespace movarin::catalogue::jet {
namespace {

// The slot a long-value pointer names, on a page that must be a long-value page.
base::Result<base::ByteReader, Error> LongValueRow(const PageFile& file, std::uint32_t stored_pointer) {
  const auto pointer = RowPointer::FromStored(stored_pointer);
  auto page = file.TypedPage(pointer.page, PageType::kData, Error::kLongValuePageInvalid);
  if (!page) return page.error();
  const auto tag = page->Sub(page::kOwnerOffset, page::kLongValueTag.size());
  if (!tag || std::string_view(reinterpret_cast<const char*>(tag->bytes().data()), tag->size()) !=
                  page::kLongValueTag) {
    return Error::kLongValuePageInvalid;
  }
  auto slot = PageFile::Row(*page, file.layout(), pointer.row);
  if (!slot) return slot.error();
  if (slot->deleted) return Error::kLongValueMalformed;
  return slot->bytes;
}

}  // namespace

base::Result<std::vector<std::uint8_t>, Error> ReadLongValue(const PageFile& file, const base::ByteReader& field,
                                                DecodeBudget& budget) {
  const auto header = field.U32(memo::kLengthOffset);
  const auto pointer = field.U32(memo::kPointerOffset);
  if (!header || !pointer || field.size() < memo::kFieldSize) return Error::kLongValueMalformed;
  const std::uint32_t length = *header & memo::kLengthMask;
  const std::uint32_t kind = *header & memo::kFlagMask;
  if (length > file.page_count() * static_cast<std::uint64_t>(file.page_size())) {
    return Error::kLongValueMalformed;
  }
  if (auto taken = budget.TakeBytes(length); !taken) return taken.error();

  std::vector<std::uint8_t> value;
  if (kind == memo::kInline) {
    const auto data = field.Sub(memo::kFieldSize, length);
    if (!data) return Error::kLongValueMalformed;
    value.assign(data->bytes().begin(), data->bytes().end());
    return value;
  }
  if (length == 0) return value;
  if (kind == memo::kSingleRow) {
    auto row = LongValueRow(file, *pointer);
    if (!row) return row.error();
    const auto data = row->Sub(0, length);
    if (!data) return Error::kLongValueMalformed;
    value.assign(data->bytes().begin(), data->bytes().end());
    return value;
  }
  if (kind != 0) return Error::kLongValueMalformed;
  // A chain: each part starts with the pointer to the next part (0 ends the chain).
  value.reserve(length);
  std::set<std::uint32_t> visited;
  std::uint32_t next = *pointer;
  while (value.size() < length) {
    if (next == 0) return Error::kLongValueMalformed;
    if (!visited.insert(next).second) return Error::kLongValueChainLoop;
    auto row = LongValueRow(file, next);
    if (!row) return row.error();
    const auto following = row->U32(0);
    if (!following) return Error::kLongValueMalformed;
    // The last part may be longer than what is still missing; the length decides.
    auto part = row->bytes().subspan(memo::kNextPointerSize);
    if (part.size() > length - value.size()) part = part.first(length - value.size());
    value.insert(value.end(), part.begin(), part.end());
    next = *following;
  }
  return value;
}

}  // namespace movarin::catalogue::jet
