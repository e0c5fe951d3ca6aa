#include "download/redirect.h"

#include <optional>
#include <vector>

#include "base/ascii.h"

namespace movarin::download {

namespace {

bool IsSchemeChar(char c, bool first) {
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return letter;
  return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme of an address in lower case ("http" of "HTTP://h/"); nullopt when the text
// does not start with one (a path, or "//host/...").
std::optional<std::string> SchemeOf(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::string scheme;
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(text[i], i == 0)) return std::nullopt;
    scheme += base::LowerAscii(text[i]);
  }
  return scheme;
}

struct Address {
  std::string scheme;     // "http" or "https"
  std::string authority;  // host, with ":port" when one was written
  std::string path;       // from the first "/" (or "?") after the host; "/" when empty
};

// Splits "scheme://authority/path?query"; nullopt unless it is an http(s) address with
// a host.
std::optional<Address> Split(std::string_view url) {
  auto scheme = SchemeOf(url);
  if (!scheme || (*scheme != "http" && *scheme != "https")) return std::nullopt;
  std::string_view rest = url.substr(scheme->size() + 1);
  if (rest.substr(0, 2) != "//") return std::nullopt;
  rest.remove_prefix(2);
  const std::size_t end = rest.find_first_of("/?");
  Address address{*scheme, std::string(rest.substr(0, end)), "/"};
  if (address.authority.empty()) return std::nullopt;
  if (end != std::string_view::npos) {
    const std::string_view path = rest.substr(end);
    address.path = path.front() == '?' ? std::string("/").append(path) : std::string(path);
  }
  return address;
}

// Resolves "." and ".." segments of a path (the query after "?" is left alone); ".."
// never climbs above the root.
std::string RemoveDotSegments(std::string_view path_and_query) {
  const std::size_t query_at = path_and_query.find('?');
  const std::string_view path = path_and_query.substr(0, query_at);
  const std::string_view query =
      query_at == std::string_view::npos ? std::string_view() : path_and_query.substr(query_at);
  std::vector<std::string_view> kept;
  std::size_t start = 1;  // the path starts with "/"
  bool ends_in_folder = false;
  while (start <= path.size()) {
    const std::size_t slash = path.find('/', start);
    const std::string_view segment = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
    const bool last = slash == std::string_view::npos;
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
      ends_in_folder = last;
    } else if (segment == ".") {
      ends_in_folder = last;
    } else {
      kept.push_back(segment);
      ends_in_folder = false;
    }
    if (last) break;
    start = slash + 1;
  }
  std::string result;
  for (std::string_view segment : kept) {
    result += '/';
    result += segment;
  }
  if (result.empty() || ends_in_folder) result += '/';
  result += query;
  return result;
}

}  // namespace

bool IsRedirectStatus(std::string_view status_code) {
  return status_code == "301" || status_code == "302" || status_code == "303" ||
         status_code == "307" || status_code == "308";
}

base::Result<std::string, RedirectRefusal> RedirectTarget(std::string_view current,
                                                          std::string_view location) {
  while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) location.remove_prefix(1);
  while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.remove_suffix(1);
  location = location.substr(0, location.find('#'));
  if (location.empty()) return RedirectRefusal::kNoLocation;
  for (char c : location) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return RedirectRefusal::kNotHttp;
  }
  const auto from = Split(current);
  if (!from) return RedirectRefusal::kNotHttp;

  std::optional<Address> to;
  if (SchemeOf(location)) {
    to = Split(location);
  } else if (location.substr(0, 2) == "//") {
    to = Split(from->scheme + ":" + std::string(location));
  } else {
    to = Address{from->scheme, from->authority, {}};
    if (location.front() == '/') {
      to->path = location;
    } else if (location.front() == '?') {
      to->path = from->path.substr(0, from->path.find('?')) + std::string(location);
    } else {
      const std::string_view from_path = std::string_view(from->path).substr(0, from->path.find('?'));
      to->path = std::string(from_path.substr(0, from_path.rfind('/') + 1)) + std::string(location);
    }
  }
  if (!to) return RedirectRefusal::kNotHttp;
  if (from->scheme == "https" && to->scheme == "http") return RedirectRefusal::kSecureToPlain;
  return to->scheme + "://" + to->authority + RemoveDotSegments(to->path);
}

}  // namespace movarin::download
