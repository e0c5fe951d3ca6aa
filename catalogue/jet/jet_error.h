// Everything that can go wrong while decoding a Jet database file, one value per fault,
// each with a text for messages and tests. Decoders return base::Result<T, Error>.
#pragma once

#include <string_view>

#include "base/result.h"

namespace movarin::catalogue::jet {

enum class Error {
  kFileTooSmall,
  kFileTooLarge,
  kFileSizeNotPageMultiple,
  kNotJetDatabase,
  kUnsupportedVersion,
  kPagesEncrypted,
  kWrongPassword,
  kPageOutOfRange,
  kTruncatedRead,
  kNotDefinitionPage,
  kDefinitionChainLoop,
  kDefinitionTooLong,
  kDefinitionMalformed,
  kTooManyColumns,
  kColumnMalformed,
  kNotUsageMapRow,
  kUsageMapMalformed,
  kNotUsageMapPage,
  kNotDataPage,
  kWrongPageOwner,
  kRowPointerInvalid,
  kRowMalformed,
  kTooManyRows,
  kDecodedDataTooLarge,
  kLongValuePageInvalid,
  kLongValueChainLoop,
  kLongValueMalformed,
  kSystemCatalogueMalformed,
  kTooManyTables,
};

std::string_view ErrorText(Error error);

}  // namespace movarin::catalogue::jet
