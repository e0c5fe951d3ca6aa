#include "tests/native/catalogue/jet_test_files.h"

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "catalogue/jet/format.h"
#include "catalogue/jet/header.h"
#include "tests/support/run.h"

namespace movarin::catalogue::test {

std::string MdbExport(const std::filesystem::path& file, const std::string& table) {
  const auto result = movarin::test::Run({"mdb-export", file.string(), table});
  if (result.exit_code != 0) throw std::runtime_error("mdb-export failed on " + file.string());
  return result.out;
}

std::vector<std::string> MdbTables(const std::filesystem::path& file) {
  const auto result = movarin::test::Run({"mdb-tables", "-1", file.string()});
  if (result.exit_code != 0) throw std::runtime_error("mdb-tables failed on " + file.string());
  std::vector<std::string> names;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

RowSpan RowOf(const std::vector<std::uint8_t>& bytes, std::uint32_t page, std::size_t row) {
  const std::size_t base = std::size_t{page} * kPage;
  const std::size_t begin = GetU16(bytes, base + 14 + 2 * row) & 0x1FFF;
  const std::size_t end = row == 0 ? kPage : (GetU16(bytes, base + 14 + 2 * (row - 1)) & 0x1FFF);
  return {base + begin, base + end};
}

std::uint32_t AppendDataPage(std::vector<std::uint8_t>& bytes, std::uint32_t owner,
                             const std::vector<std::vector<std::uint8_t>>& rows,
                             bool long_value_page) {
  std::vector<std::uint8_t> page(kPage, 0);
  page[0] = 0x01;
  page[1] = 0x01;
  if (long_value_page) {
    std::memcpy(&page[4], "LVAL", 4);
  } else {
    PutU32(page, 4, owner);
  }
  PutU16(page, 12, static_cast<std::uint16_t>(rows.size()));
  std::size_t end = kPage;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t begin = end - rows[i].size();
    std::copy(rows[i].begin(), rows[i].end(), page.begin() + static_cast<std::ptrdiff_t>(begin));
    PutU16(page, 14 + 2 * i, static_cast<std::uint16_t>(begin));
    end = begin;
  }
  PutU16(page, 2, static_cast<std::uint16_t>(end - 14 - 2 * rows.size()));
  const auto number = static_cast<std::uint32_t>(bytes.size() / kPage);
  bytes.insert(bytes.end(), page.begin(), page.end());
  return number;
}

void EditHeader(std::vector<std::uint8_t>& bytes,
                const std::function<void(std::vector<std::uint8_t>& block)>& edit) {
  namespace h = jet::header;
  std::vector<std::uint8_t> block(bytes.begin(), bytes.begin() + kPage);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  edit(block);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  std::copy(block.begin(), block.end(), bytes.begin());
}

}  // namespace movarin::catalogue::test
