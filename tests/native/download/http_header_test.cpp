#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "download/http_header.h"
#include "download/progress.h"

namespace movarin::download {
namespace {

TEST(HeaderBlock, StatusFieldIsCharactersTenToTwelve) {
  EXPECT_EQ(StatusField("HTTP/1.1 200 OK\r\n\r\n"), "200");
  EXPECT_EQ(StatusField("HTTP/1.0 404 Not Found\r\n"), "404");
  EXPECT_EQ(StatusField("HTTP/1.1 2\r\n"), "2\r\n");
  EXPECT_EQ(StatusField("HTTP/1.1 \r\n"), "\r\n");  // 11 characters ending in CR LF
  EXPECT_EQ(StatusField("HTTP/1.1 "), "");
  EXPECT_EQ(StatusField(""), "");
}

TEST(HeaderBlock, FirstLineKeepsItsCarriageReturn) {
  EXPECT_EQ(FirstLineThroughCr("HTTP/1.1 500 Internal Server Error\r\nA: b\r\n"),
            "HTTP/1.1 500 Internal Server Error\r");
  EXPECT_EQ(FirstLineThroughCr("no carriage return\n"), "");
  EXPECT_EQ(FirstLineThroughCr(""), "");
}

TEST(HeaderBlock, HeaderByNameIgnoresCaseAndStopsAtTheBlankLine) {
  const std::string block =
      "HTTP/1.1 200 OK\r\n"
      "Server: test\r\n"
      "content-length:   3000  \r\n"
      "Content-Length: 17\r\n"
      "X-Empty:\r\n"
      "no colon here\r\n"
      "\r\n"
      "After: blank\r\n";
  EXPECT_EQ(HeaderValue(block, "Content-Length"), "3000");
  EXPECT_EQ(HeaderValue(block, "SERVER"), "test");
  EXPECT_EQ(HeaderValue(block, "X-Empty"), "");
  EXPECT_EQ(HeaderValue(block, "After"), "");
  EXPECT_EQ(HeaderValue(block, "Missing"), "");
  // The status line is never taken for a header, even when it holds a colon.
  EXPECT_EQ(HeaderValue("HTTP: 1\r\n", "HTTP"), "");
  // Bare LF line ends are read too.
  EXPECT_EQ(HeaderValue("HTTP/1.1 200 OK\nA: 1\n\n", "a"), "1");
}

TEST(ContentLengthText, LeadingNumberRoundedHalfToEven) {
  using Kind = ContentLength::Kind;
  struct Case {
    const char* text;
    Kind kind;
    std::int64_t value;
  };
  const Case cases[] = {
      {"3000", Kind::kValue, 3000},
      {"  3000", Kind::kValue, 3000},
      {"\t12abc", Kind::kValue, 12},
      {"0", Kind::kValue, 0},
      {"+7", Kind::kValue, 7},
      {"-0", Kind::kValue, 0},
      {"2.5", Kind::kValue, 2},
      {"3.5", Kind::kValue, 4},
      {"2.51", Kind::kValue, 3},
      {"2.4999", Kind::kValue, 2},
      {".6", Kind::kValue, 1},
      {"1.5E3", Kind::kValue, 1500},
      {"1e", Kind::kValue, 1},  // an exponent without digits is not part of the number
      {"4294967296", Kind::kValue, 4294967296},  // beyond 32 bits
      {"9223372036854775807", Kind::kValue, std::numeric_limits<std::int64_t>::max()},
      {"9223372036854775808", Kind::kOverflow, 0},
      {"99999999999999999999999", Kind::kOverflow, 0},
      {"1e400", Kind::kOverflow, 0},
      {"-5", Kind::kNegative, 0},
      {"-1e3", Kind::kNegative, 0},
      {"", Kind::kNone, 0},
      {"abc", Kind::kNone, 0},
      {".", Kind::kNone, 0},
      {"-", Kind::kNone, 0},
  };
  for (const auto& c : cases) {
    const ContentLength length = ParseContentLength(c.text);
    EXPECT_EQ(length.kind, c.kind) << '"' << c.text << '"';
    if (c.kind == Kind::kValue) {
      EXPECT_EQ(length.value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(ContentRangeText, SpanOfTheAnnouncedBytes) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> span;
  };
  const Case cases[] = {
      {"bytes 0-2999/3000", 3000},
      {"bytes 100-199/*", 100},
      {"  BYTES 5-5/6 ", 1},
      {"bytes 0-9223372036854775806/9223372036854775807", std::numeric_limits<std::int64_t>::max()},
      {"bytes 0-99999999999999999999/*", std::nullopt},
      {"bytes 10-5/100", std::nullopt},
      {"bytes 0-100/100", std::nullopt},  // the last byte lies beyond the total
      {"bytes */3000", std::nullopt},
      {"bytes 0-2999", std::nullopt},
      {"bytes 0-2999/3000x", std::nullopt},
      {"bits 0-1/2", std::nullopt},
      {"bytes", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ContentRangeSpan(c.text), c.span) << c.text;
}

TEST(Progress, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(ProgressPercent(1, 2), 50);
  EXPECT_EQ(ProgressPercent(1, 8), 12);     // 12.5
  EXPECT_EQ(ProgressPercent(27, 200), 14);  // 13.5
  EXPECT_EQ(ProgressPercent(1024, 3000), 34);
  EXPECT_EQ(ProgressPercent(2048, 3000), 68);
  EXPECT_EQ(ProgressPercent(1024, 1025), 100);  // 99.9
  EXPECT_EQ(ProgressPercent(0, 3000), 0);
  // Beyond 32 bits neither count wraps.
  const std::int64_t five_gib = std::int64_t{5} << 30;
  EXPECT_EQ(ProgressPercent(five_gib / 2, five_gib), 50);
  EXPECT_EQ(ProgressPercent(five_gib, five_gib), 100);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
}

}  // namespace
}  // namespace movarin::download
