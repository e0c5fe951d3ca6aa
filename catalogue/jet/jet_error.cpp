#include "catalogue/jet/jet_error.h"

#include <array>

namespace movarin::catalogue::jet {
namespace {

struct ErrorEntry {
  Error error;
  std::string_view text;
};

constexpr std::array kErrorTexts = {
    ErrorEntry{Error::kFileTooSmall, "the file is smaller than the header page"},
    ErrorEntry{Error::kFileTooLarge, "the file is larger than a Jet database can be"},
    ErrorEntry{Error::kFileSizeNotPageMultiple, "the file size is not a whole number of pages"},
    ErrorEntry{Error::kNotJetDatabase, "the header does not name a Jet database"},
    ErrorEntry{Error::kUnsupportedVersion, "the Jet version is not supported"},
    ErrorEntry{Error::kPagesEncrypted, "the database pages are encrypted"},
    ErrorEntry{Error::kWrongPassword, "the password does not match the database password"},
    ErrorEntry{Error::kPageOutOfRange, "a page number lies beyond the end of the file"},
    ErrorEntry{Error::kTruncatedRead, "a read runs past the end of its page or record"},
    ErrorEntry{Error::kNotDefinitionPage, "a table definition page has the wrong page type"},
    ErrorEntry{Error::kDefinitionChainLoop, "the pages of a table definition form a loop"},
    ErrorEntry{Error::kDefinitionTooLong, "a table definition spans too many pages"},
    ErrorEntry{Error::kDefinitionMalformed, "a table definition is malformed"},
    ErrorEntry{Error::kTooManyColumns, "a table has more columns than Jet allows"},
    ErrorEntry{Error::kColumnMalformed, "a column definition is malformed"},
    ErrorEntry{Error::kNotUsageMapRow, "a usage map pointer does not lead to a usage map"},
    ErrorEntry{Error::kUsageMapMalformed, "a usage map is malformed"},
    ErrorEntry{Error::kNotUsageMapPage, "a page of a usage map has the wrong page type"},
    ErrorEntry{Error::kNotDataPage, "a page listed as table data is not a data page"},
    ErrorEntry{Error::kWrongPageOwner, "a data page belongs to another table"},
    ErrorEntry{Error::kRowPointerInvalid, "a row pointer names a row that does not exist"},
    ErrorEntry{Error::kRowMalformed, "a row is malformed"},
    ErrorEntry{Error::kTooManyRows, "a table has more rows than the reader accepts"},
    ErrorEntry{Error::kDecodedDataTooLarge, "the decoded rows would be far larger than the file"},
    ErrorEntry{Error::kLongValuePageInvalid, "a long value points to a page that is not a long-value page"},
    ErrorEntry{Error::kLongValueChainLoop, "the parts of a long value form a loop"},
    ErrorEntry{Error::kLongValueMalformed, "a long value is malformed"},
    ErrorEntry{Error::kSystemCatalogueMalformed, "the system catalogue is malformed"},
    ErrorEntry{Error::kTooManyTables, "the system catalogue lists more tables than the reader accepts"},
};

}  // namespace

std::string_view ErrorText(Error error) {
  for (const auto& entry : kErrorTexts) {
    if (entry.error == error) return entry.text;
  }
  return "unknown error";
}

}  // namespace movarin::catalogue::jet
