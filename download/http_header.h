#pragma once
// Reading a response header block ("HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n"),
// which comes from the server and is treated as hostile: every function accepts any
// bytes and never reads outside the text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::download {

// Characters 10 to 12 (counting from 1) of the block: the status code of a status line
// "HTTP/1.1 200 OK". Shorter when the block is shorter; empty below 10 characters.
std::string StatusField(std::string_view block);

// The block up to and including its first carriage return; empty when it has none.
std::string FirstLineThroughCr(std::string_view block);

// The value of the first header called `name` (ASCII letters matched without regard to
// case) after the status line and before the blank line, with surrounding blanks
// removed; empty text when it is absent.
std::string HeaderValue(std::string_view block, std::string_view name);

// The leading number of a Content-Length text.
struct ContentLength {
  enum class Kind {
    kNone,      // no number (missing header, or text that does not start with one)
    kValue,     // `value` holds a length of 0 or more
    kNegative,  // a number below zero: no usable length
    kOverflow,  // a number too large for a 64-bit length
  };
  Kind kind = Kind::kNone;
  std::int64_t value = 0;
};

// Leading blanks are skipped; a sign, digits, a fraction and an exponent are read as far
// as they go ("3000", " 12abc", "1.5E3"); a fraction is rounded to a whole number with
// halves going to the even neighbour.
ContentLength ParseContentLength(std::string_view text);

// The number of body bytes a Content-Range value "bytes 0-2999/3000" announces (3000);
// nullopt unless the text has exactly that form with first <= last.
std::optional<std::int64_t> ContentRangeSpan(std::string_view text);

}  // namespace movarin::download
