#include "catalogue/query/sql_parser.h"

#include <vector>

#include "base/ascii.h"

namespace movarin::catalogue::query {
namespace {

enum class TokenType { kWord, kBracketName, kString, kStar, kSemicolon, kOther, kEnd };

struct Token {
  TokenType type = TokenType::kEnd;
  std::string text;          // word, name or literal value
  std::size_t begin = 0;     // position in the statement
  bool unterminated = false; // a bracket name or literal that runs to the end
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         u >= 0x80;
}

std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (true) {
    while (i < sql.size() && IsSpace(sql[i])) ++i;
    Token token;
    token.begin = i;
    if (i >= sql.size()) {
      tokens.push_back(token);
      return tokens;
    }
    const char c = sql[i];
    if (IsWordChar(c)) {
      token.type = TokenType::kWord;
      while (i < sql.size() && IsWordChar(sql[i])) token.text.push_back(sql[i++]);
    } else if (c == '[') {
      token.type = TokenType::kBracketName;
      ++i;
      while (i < sql.size() && sql[i] != ']') token.text.push_back(sql[i++]);
      if (i < sql.size()) {
        ++i;
      } else {
        token.unterminated = true;
      }
    } else if (c == '\'' || c == '"') {
      // A doubled quote inside the literal stands for one quote character.
      token.type = TokenType::kString;
      const char quote = c;
      ++i;
      token.unterminated = true;
      while (i < sql.size()) {
        if (sql[i] == quote) {
          if (i + 1 < sql.size() && sql[i + 1] == quote) {
            token.text.push_back(quote);
            i += 2;
            continue;
          }
          ++i;
          token.unterminated = false;
          break;
        }
        token.text.push_back(sql[i++]);
      }
    } else if (c == '*') {
      token.type = TokenType::kStar;
      ++i;
    } else if (c == ';') {
      token.type = TokenType::kSemicolon;
      ++i;
    } else {
      token.type = TokenType::kOther;
      token.text.push_back(sql[i++]);
    }
    tokens.push_back(std::move(token));
  }
}

bool IsKeyword(const Token& token, std::string_view keyword) {
  return token.type == TokenType::kWord && base::EqualsIgnoringAsciiCase(token.text, keyword);
}

bool IsName(const Token& token) {
  return (token.type == TokenType::kWord || token.type == TokenType::kBracketName) &&
         !token.unterminated && !token.text.empty();
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

class Parser {
 public:
  explicit Parser(std::string_view sql) : sql_(sql), tokens_(Tokenize(sql)) {}

  base::Result<SelectQuery, SyntaxError> Parse() {
    SelectQuery query;
    if (!IsKeyword(Peek(), "SELECT")) return Error(SyntaxErrorKind::kNotSelect);
    ++at_;
    if (Peek().type != TokenType::kStar) return Error(SyntaxErrorKind::kSelectList);
    ++at_;
    if (!IsKeyword(Peek(), "FROM")) return Error(SyntaxErrorKind::kSelectList);
    ++at_;
    if (!IsName(Peek()) || IsKeyword(Peek(), "WHERE") || IsKeyword(Peek(), "ORDER")) {
      return Error(SyntaxErrorKind::kFromClause);
    }
    query.table = tokens_[at_++].text;
    if (!IsKeyword(Peek(), "WHERE") && !IsKeyword(Peek(), "ORDER") &&
        Peek().type != TokenType::kSemicolon && Peek().type != TokenType::kEnd) {
      return Error(SyntaxErrorKind::kFromClause);
    }

    if (IsKeyword(Peek(), "WHERE")) {
      ++at_;
      const std::size_t expression_begin = Peek().begin;
      const std::size_t expression_end = ExpressionEnd();
      const std::string fragment(Trimmed(sql_.substr(expression_begin, expression_end - expression_begin)));
      LikeCondition condition;
      const Token& column = Peek();
      if (!IsName(column)) return Error(SyntaxErrorKind::kQueryExpression, fragment);
      condition.column = column.text;
      ++at_;
      if (!IsKeyword(Peek(), "LIKE")) return Error(SyntaxErrorKind::kQueryExpression, fragment);
      ++at_;
      const Token& literal = Peek();
      if (literal.type == TokenType::kString && literal.unterminated) {
        return Error(SyntaxErrorKind::kUnterminatedString, fragment);
      }
      if (literal.type != TokenType::kString) return Error(SyntaxErrorKind::kQueryExpression, fragment);
      condition.pattern = literal.text;
      ++at_;
      // Whatever follows the literal must start the ORDER BY clause or end the statement.
      if (Peek().begin < expression_end) {
        // An apostrophe left over after the literal reads as an unterminated string.
        for (std::size_t k = at_; k < tokens_.size() && tokens_[k].begin < expression_end; ++k) {
          if (tokens_[k].type == TokenType::kString && tokens_[k].unterminated) {
            return Error(SyntaxErrorKind::kUnterminatedString, fragment);
          }
        }
        return Error(SyntaxErrorKind::kQueryExpression, fragment);
      }
      query.where = std::move(condition);
    }

    if (IsKeyword(Peek(), "ORDER")) {
      ++at_;
      if (!IsKeyword(Peek(), "BY")) return Error(SyntaxErrorKind::kOrderByClause);
      ++at_;
      if (!IsName(Peek())) return Error(SyntaxErrorKind::kOrderByClause);
      SortOrder order;
      order.column = tokens_[at_++].text;
      if (IsKeyword(Peek(), "ASC")) {
        ++at_;
      } else if (IsKeyword(Peek(), "DESC")) {
        order.descending = true;
        ++at_;
      }
      query.order = std::move(order);
      if (Peek().type != TokenType::kEnd && Peek().type != TokenType::kSemicolon) {
        return Error(SyntaxErrorKind::kOrderByClause);
      }
    }

    if (Peek().type == TokenType::kSemicolon) {
      ++at_;
      if (Peek().type != TokenType::kEnd) return Error(SyntaxErrorKind::kTrailingCharacters);
    }
    if (Peek().type != TokenType::kEnd) return Error(SyntaxErrorKind::kTrailingCharacters);
    return query;
  }

 private:
  const Token& Peek() const { return tokens_[at_ < tokens_.size() ? at_ : tokens_.size() - 1]; }

  // The end of a WHERE expression: the ORDER keyword followed by BY, a semicolon, or the
  // end of the statement.
  std::size_t ExpressionEnd() const {
    for (std::size_t k = at_; k < tokens_.size(); ++k) {
      const Token& token = tokens_[k];
      if (token.type == TokenType::kEnd || token.type == TokenType::kSemicolon) return token.begin;
      if (IsKeyword(token, "ORDER") && k + 1 < tokens_.size() && IsKeyword(tokens_[k + 1], "BY")) {
        return token.begin;
      }
    }
    return sql_.size();
  }

  static SyntaxError Error(SyntaxErrorKind kind, std::string fragment = {}) {
    return SyntaxError{kind, std::move(fragment)};
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  std::size_t at_ = 0;
};

}  // namespace

base::Result<SelectQuery, SyntaxError> ParseSelect(std::string_view sql) { return Parser(sql).Parse(); }

}  // namespace movarin::catalogue::query
