#include "catalogue/provider_errors.h"

#include <array>
#include <string>

namespace movarin::catalogue {
namespace {

struct FaultEntry {
  ProviderFault fault;
  std::int32_t number;
  // '%' marks where the subject goes.
  std::string_view text;
};

constexpr std::array kFaults = {
    FaultEntry{ProviderFault::kFileNotFound, kErrorUnspecified, "Could not find file '%'."},
    FaultEntry{ProviderFault::kFileUnreadable, kErrorUnspecified,
               "The Microsoft Jet database engine cannot open the file '%'. It is already opened "
               "exclusively by another user, or you need permission to view its data."},
    FaultEntry{ProviderFault::kFileTooLarge, kErrorUnspecified,
               "The database '%' is too large to be opened."},
    FaultEntry{ProviderFault::kUnrecognizedFormat, kErrorUnspecified,
               "Unrecognized database format '%'."},
    FaultEntry{ProviderFault::kNotValidPassword, kErrorNotValidPassword, "Not a valid password."},
    FaultEntry{ProviderFault::kPagesEncrypted, kErrorUnspecified,
               "The database '%' is encrypted and cannot be opened."},
    FaultEntry{ProviderFault::kNeedsRepair, kErrorUnspecified,
               "The database '%' needs to be repaired or isn't a database file."},
    FaultEntry{ProviderFault::kNotSelect, kErrorSyntax,
               "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
               "'UPDATE'."},
    FaultEntry{ProviderFault::kSelectList, kErrorSyntax,
               "The SELECT statement includes a reserved word or an argument name that is "
               "misspelled or missing, or the punctuation is incorrect."},
    FaultEntry{ProviderFault::kFromClause, kErrorSyntax, "Syntax error in FROM clause."},
    FaultEntry{ProviderFault::kQueryExpression, kErrorSyntax,
               "Syntax error (missing operator) in query expression '%'."},
    FaultEntry{ProviderFault::kStringInQueryExpression, kErrorSyntax,
               "Syntax error in string in query expression '%'."},
    FaultEntry{ProviderFault::kOrderByClause, kErrorSyntax, "Syntax error in ORDER BY clause."},
    FaultEntry{ProviderFault::kCharactersAfterEnd, kErrorSyntax,
               "Characters found after end of SQL statement."},
    FaultEntry{ProviderFault::kUnknownTable, kErrorNoSuchTable,
               "The Microsoft Jet database engine cannot find the input table or query '%'. Make "
               "sure it exists and that its name is spelled correctly."},
    FaultEntry{ProviderFault::kUnknownColumn, kErrorMissingParameter,
               "No value given for one or more required parameters."},
    FaultEntry{ProviderFault::kInvalidPattern, kErrorUnspecified, "Invalid pattern string."},
    FaultEntry{ProviderFault::kOutOfMemory, kErrorUnspecified, "System resource exceeded."},
};

}  // namespace

ProviderError MakeProviderError(ProviderFault fault, std::string_view subject) {
  for (const auto& entry : kFaults) {
    if (entry.fault != fault) continue;
    ProviderError error;
    error.number = entry.number;
    const auto mark = entry.text.find('%');
    if (mark == std::string_view::npos) {
      error.description = entry.text;
    } else {
      error.description = std::string(entry.text.substr(0, mark)) + std::string(subject) +
                          std::string(entry.text.substr(mark + 1));
    }
    return error;
  }
  return ProviderError{kErrorUnspecified, "Unspecified error"};
}

ProviderError OpenError(jet::Error error, std::string_view path) {
  switch (error) {
    case jet::Error::kWrongPassword:
      return MakeProviderError(ProviderFault::kNotValidPassword);
    case jet::Error::kPagesEncrypted:
      return MakeProviderError(ProviderFault::kPagesEncrypted, path);
    case jet::Error::kFileTooLarge:
      return MakeProviderError(ProviderFault::kFileTooLarge, path);
    case jet::Error::kFileTooSmall:
    case jet::Error::kNotJetDatabase:
    case jet::Error::kUnsupportedVersion:
      return MakeProviderError(ProviderFault::kUnrecognizedFormat, path);
    default:
      return MakeProviderError(ProviderFault::kNeedsRepair, path);
  }
}

ProviderError SyntaxProviderError(const query::SyntaxError& error) {
  using query::SyntaxErrorKind;
  switch (error.kind) {
    case SyntaxErrorKind::kNotSelect: return MakeProviderError(ProviderFault::kNotSelect);
    case SyntaxErrorKind::kSelectList: return MakeProviderError(ProviderFault::kSelectList);
    case SyntaxErrorKind::kFromClause: return MakeProviderError(ProviderFault::kFromClause);
    case SyntaxErrorKind::kQueryExpression:
      return MakeProviderError(ProviderFault::kQueryExpression, error.fragment);
    case SyntaxErrorKind::kUnterminatedString:
      return MakeProviderError(ProviderFault::kStringInQueryExpression, error.fragment);
    case SyntaxErrorKind::kOrderByClause: return MakeProviderError(ProviderFault::kOrderByClause);
    case SyntaxErrorKind::kTrailingCharacters:
      return MakeProviderError(ProviderFault::kCharactersAfterEnd);
  }
  return MakeProviderError(ProviderFault::kQueryExpression, error.fragment);
}

}  // namespace movarin::catalogue
