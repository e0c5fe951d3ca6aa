// The errors the catalogue reports, with the numbers and descriptions of the database
// provider, kept in one table.
#pragma once

#include <string_view>

#include "catalogue/catalogue.h"
#include "catalogue/jet/jet_error.h"
#include "catalogue/query/sql_parser.h"

namespace movarin::catalogue {

enum class ProviderFault {
  kFileNotFound,
  kFileUnreadable,
  kFileTooLarge,
  kUnrecognizedFormat,
  kNotValidPassword,
  kPagesEncrypted,
  kNeedsRepair,
  kNotSelect,
  kSelectList,
  kFromClause,
  kQueryExpression,
  kStringInQueryExpression,
  kOrderByClause,
  kCharactersAfterEnd,
  kUnknownTable,
  kUnknownColumn,
  kInvalidPattern,
  kOutOfMemory,
};

// Provider error numbers (HRESULTs as signed decimals).
inline constexpr std::int32_t kErrorUnspecified = -2147467259;     // 0x80004005
inline constexpr std::int32_t kErrorNotValidPassword = -2147217843;  // 0x80040E4D
inline constexpr std::int32_t kErrorSyntax = -2147217900;          // 0x80040E14
inline constexpr std::int32_t kErrorNoSuchTable = -2147217865;     // 0x80040E37
inline constexpr std::int32_t kErrorMissingParameter = -2147217904;  // 0x80040E10

// The error for a fault; `subject` fills the quoted part (a path, table name or
// expression) where the description has one.
ProviderError MakeProviderError(ProviderFault fault, std::string_view subject = {});

// The fault a reader error means when opening the file at `path`.
ProviderError OpenError(jet::Error error, std::string_view path);

ProviderError SyntaxProviderError(const query::SyntaxError& error);

}  // namespace movarin::catalogue
