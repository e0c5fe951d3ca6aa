#include "download/remote_file_headers.h"

#include <optional>

#include "base/ascii.h"
#include "download/http_header.h"
#include "download/url.h"

namespace movarin::download {

namespace {

constexpr std::string_view kLastModifiedName = "last-modified: ";
constexpr std::string_view kContentLengthName = "content-length: ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kNotFound = 404;

// The text after `lower_name` on the first header line that starts with it, up to the
// line's CR LF (or the end of the text); nullopt when no line starts with it. The status
// line is never a header line.
std::optional<std::string_view> HeaderLineValue(std::string_view raw, std::string_view lower_name) {
  std::size_t line_start = raw.find('\n');
  while (line_start != std::string_view::npos) {
    ++line_start;
    const std::string_view rest = raw.substr(line_start);
    if (base::StartsWithIgnoringAsciiCase(rest, lower_name)) {
      const std::string_view value = rest.substr(lower_name.size());
      return value.substr(0, value.find(kLineEnd));
    }
    line_start = raw.find('\n', line_start);
  }
  return std::nullopt;
}

}  // namespace

int StatusCodeOfStatusLine(std::string_view raw_headers) {
  const std::string_view line = raw_headers.substr(0, raw_headers.find(kLineEnd));
  if (!base::StartsWithIgnoringAsciiCase(line, "http/")) return -1;
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return -1;
  const std::string_view code = line.substr(blank + 1);
  if (code.size() < 3) return -1;
  int value = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (code[i] < '0' || code[i] > '9') return -1;
    value = value * 10 + (code[i] - '0');
  }
  // "HTTP/1.1 4040" is not a three-digit code.
  if (code.size() > 3 && code[3] != ' ' && code[3] != '\r') return -1;
  return value;
}

RemoteFileInformation InformationFromRawHeaders(std::string_view raw_headers) {
  RemoteFileInformation info;
  if (auto date = HeaderLineValue(raw_headers, kLastModifiedName)) {
    info.last_modified = std::string(*date);
  } else {
    info.last_modified = std::string(kLastModifiedNotAvailable);
  }
  info.size = -1;
  if (auto length = HeaderLineValue(raw_headers, kContentLengthName)) {
    const ContentLength parsed = ParseContentLength(*length);
    if (parsed.kind == ContentLength::Kind::kValue) info.size = parsed.value;
  }
  // A block without a status line is no answer at all (WinINet gives a bare CR LF for a
  // request that never reached a server).
  const int status = StatusCodeOfStatusLine(raw_headers);
  info.exists = status != -1 && status != kNotFound;
  return info;
}

RemoteFileInformation InformationFromStatusCode(std::string_view status_code_text) {
  RemoteFileInformation info;
  info.exists = TrimAtNul(status_code_text) == "200";
  info.size = -1;
  info.last_modified = std::string(kLastModifiedNotAvailable);
  return info;
}

}  // namespace movarin::download
