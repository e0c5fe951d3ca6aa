// The SQL subset: what parses, and the provider's words for what does not.
#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "catalogue/provider_errors.h"
#include "catalogue/query/sql_parser.h"

namespace movarin::catalogue::query {
namespace {

TEST(SqlParser, TheProgramsTwoQueries) {
  auto whole = ParseSelect(kWholeCatalogueQuery);
  ASSERT_TRUE(whole.ok());
  const auto& w = *whole;
  EXPECT_EQ(w.table, "Files");
  EXPECT_FALSE(w.where);
  ASSERT_TRUE(w.order);
  EXPECT_EQ(w.order->column, "Filename");
  EXPECT_FALSE(w.order->descending);

  for (const std::string typed : {"act", "", "%", "O'Brien", "''", "a''b'", "[x", "\xC3\xA4"}) {
    auto search = ParseSelect(SearchQuery(typed));
    ASSERT_TRUE(search.ok()) << typed;
    const auto& s = *search;
    ASSERT_TRUE(s.where);
    EXPECT_EQ(s.where->column, "Filename");
    EXPECT_EQ(s.where->pattern, typed + "%") << "the typed text arrives unchanged";
    EXPECT_FALSE(s.order);
  }
}

TEST(SqlParser, KeywordCaseBracketsAndSpacing) {
  struct Case {
    const char* sql;
    const char* table;
    const char* where_column;
    const char* pattern;
    const char* order_column;
    bool descending;
  };
  const Case cases[] = {
      {"select * from files", "files", nullptr, nullptr, nullptr, false},
      {"  SELECT\t*\nFROM [My Files] ;  ", "My Files", nullptr, nullptr, nullptr, false},
      {"SELECT * FROM Files WHERE [File name] LIKE 'a''b%' ORDER BY [File name] DESC", "Files",
       "File name", "a'b%", "File name", true},
      {"SeLeCt * FrOm Files wHeRe Filename lIkE \"x%\" oRdEr By Filename aSc;", "Files", "Filename",
       "x%", "Filename", false},
      {"SELECT * FROM Files WHERE Filename LIKE 'ORDER BY x'", "Files", "Filename", "ORDER BY x",
       nullptr, false},
      {"SELECT * FROM Files ORDER BY Version", "Files", nullptr, nullptr, "Version", false},
  };
  for (const auto& c : cases) {
    auto parsed = ParseSelect(c.sql);
    ASSERT_TRUE(parsed.ok()) << c.sql;
    const auto& q = *parsed;
    EXPECT_EQ(q.table, c.table) << c.sql;
    EXPECT_EQ(q.where.has_value(), c.where_column != nullptr) << c.sql;
    if (q.where && c.where_column) {
      EXPECT_EQ(q.where->column, c.where_column);
      EXPECT_EQ(q.where->pattern, c.pattern);
    }
    EXPECT_EQ(q.order.has_value(), c.order_column != nullptr) << c.sql;
    if (q.order && c.order_column) {
      EXPECT_EQ(q.order->column, c.order_column);
      EXPECT_EQ(q.order->descending, c.descending);
    }
  }
}

struct ErrorCase {
  const char* sql;
  const char* description;
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.sql; }

class SqlErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SqlErrors, UseTheProvidersWording) {
  auto parsed = ParseSelect(GetParam().sql);
  ASSERT_TRUE(!parsed.ok());
  const ProviderError error = SyntaxProviderError(parsed.error());
  EXPECT_EQ(error.number, kErrorSyntax);
  EXPECT_EQ(error.description, GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlErrors,
    ::testing::Values(
        ErrorCase{"", "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
        ErrorCase{"DELETE FROM Files", "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
        ErrorCase{"SELECT Filename FROM Files", "The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or the punctuation is incorrect."},
        ErrorCase{"SELECT * Files", "The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or the punctuation is incorrect."},
        ErrorCase{"SELECT * FROM", "Syntax error in FROM clause."},
        ErrorCase{"SELECT * FROM [Files", "Syntax error in FROM clause."},
        ErrorCase{"SELECT * FROM Files x y", "Syntax error in FROM clause."},
        // The apostrophe fault: a typed text pasted in without doubling its apostrophe.
        ErrorCase{"SELECT * FROM Files WHERE Filename Like 'O'Brien%'", "Syntax error in string in query expression 'Filename Like 'O'Brien%''."},
        ErrorCase{"SELECT * FROM Files WHERE Filename Like 'abc", "Syntax error in string in query expression 'Filename Like 'abc'."},
        ErrorCase{"SELECT * FROM Files WHERE Filename = 'a'", "Syntax error (missing operator) in query expression 'Filename = 'a''."},
        ErrorCase{"SELECT * FROM Files WHERE Filename Like a", "Syntax error (missing operator) in query expression 'Filename Like a'."},
        ErrorCase{"SELECT * FROM Files WHERE Filename Like 'a' AND x", "Syntax error (missing operator) in query expression 'Filename Like 'a' AND x'."},
        ErrorCase{"SELECT * FROM Files WHERE", "Syntax error (missing operator) in query expression ''."},
        ErrorCase{"SELECT * FROM Files ORDER Filename", "Syntax error in ORDER BY clause."},
        ErrorCase{"SELECT * FROM Files ORDER BY", "Syntax error in ORDER BY clause."},
        ErrorCase{"SELECT * FROM Files ORDER BY Filename UP", "Syntax error in ORDER BY clause."},
        ErrorCase{"SELECT * FROM Files; SELECT * FROM Files", "Characters found after end of SQL statement."}));

}  // namespace
}  // namespace movarin::catalogue::query
