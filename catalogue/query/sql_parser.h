// The SQL the program sends: SELECT * FROM t [WHERE col LIKE '...'] [ORDER BY col
// [ASC|DESC]] [;]. Keywords ignore case; names may be written in [brackets]; '' inside a
// literal is one apostrophe. Anything else is a syntax error with the provider's text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace movarin::catalogue::query {

struct LikeCondition {
  std::string column;
  std::string pattern;
};

struct SortOrder {
  std::string column;
  bool descending = false;
};

struct SelectQuery {
  std::string table;
  std::optional<LikeCondition> where;
  std::optional<SortOrder> order;
};

enum class SyntaxErrorKind {
  kNotSelect,            // does not start with SELECT
  kSelectList,           // the select list is not "*"
  kFromClause,           // missing FROM or table name
  kQueryExpression,      // the WHERE expression is not "column LIKE 'literal'"
  kUnterminatedString,   // a literal without its closing quote
  kOrderByClause,        // ORDER BY without a column, or an unknown direction
  kTrailingCharacters,   // text after the statement's end
};

struct SyntaxError {
  SyntaxErrorKind kind;
  std::string fragment;  // the expression the provider quotes in its message
};

base::Result<SelectQuery, SyntaxError> ParseSelect(std::string_view sql);

}  // namespace movarin::catalogue::query
