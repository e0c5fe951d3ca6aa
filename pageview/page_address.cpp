#include "pageview/page_address.h"

#include <vector>

#include "base/ascii.h"

namespace movarin::pageview {

namespace {

bool IsSchemeCharacter(char c, bool first) {
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return letter;
  return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme in lower case ("http"), or empty when the reference has none.
std::string SchemeOf(std::string_view reference) {
  const std::size_t colon = reference.find(':');
  if (colon == std::string_view::npos || colon == 0) return {};
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsSchemeCharacter(reference[i], i == 0)) return {};
  }
  return base::LowerAscii(reference.substr(0, colon));
}

// Browsers drop blanks around an address and tabs and line breaks inside it.
std::string CleanReference(std::string_view reference) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!reference.empty() && blank(reference.front())) reference.remove_prefix(1);
  while (!reference.empty() && blank(reference.back())) reference.remove_suffix(1);
  std::string out;
  for (const char c : reference) {
    if (c != '\t' && c != '\n' && c != '\r') out.push_back(c);
  }
  return out;
}

// Percent-encodes what must not appear raw in an address handed to another program.
std::string EncodeUnsafe(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unsafe = byte <= 0x20 || byte >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' ||
                        c == '^' || c == '`' || c == '{' || c == '|' || c == '}';
    if (unsafe) {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Removes "." and ".." segments from a path that starts with "/".
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  std::size_t i = 1;
  bool ends_in_folder = false;
  while (i <= path.size()) {
    const std::size_t slash = path.find('/', i);
    const std::string_view segment = path.substr(i, slash == std::string_view::npos ? std::string_view::npos : slash - i);
    ends_in_folder = false;
    if (segment == ".") {
      ends_in_folder = true;
    } else if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      ends_in_folder = true;
    } else {
      segments.push_back(segment);
    }
    if (slash == std::string_view::npos) break;
    i = slash + 1;
  }
  std::string out;
  for (const std::string_view segment : segments) {
    out.push_back('/');
    out.append(segment);
  }
  if (ends_in_folder || out.empty()) out.push_back('/');
  return out;
}

struct SplitAddress {
  std::string scheme;     // "http"
  std::string authority;  // "host:8080"
  std::string path;       // "/dir/page.htm"
  std::string query;      // "?a=1" or empty
};

std::optional<SplitAddress> Split(std::string_view absolute) {
  SplitAddress parts;
  parts.scheme = SchemeOf(absolute);
  if (parts.scheme.empty()) return std::nullopt;
  std::string_view rest = absolute.substr(parts.scheme.size() + 1);
  rest = rest.substr(0, rest.find('#'));
  if (!rest.starts_with("//")) return std::nullopt;
  rest.remove_prefix(2);
  const std::size_t end = rest.find_first_of("/?");
  parts.authority = std::string(rest.substr(0, end));
  if (parts.authority.empty()) return std::nullopt;
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  const std::size_t question = rest.find('?');
  parts.path = std::string(rest.substr(0, question));
  if (question != std::string_view::npos) parts.query = std::string(rest.substr(question));
  if (parts.path.empty()) parts.path.push_back('/');
  return parts;
}

std::string Join(const SplitAddress& parts, std::string_view fragment) {
  std::string out = parts.scheme;
  out.append("://").append(parts.authority).append(RemoveDotSegments(parts.path));
  out.append(parts.query).append(fragment);
  return out;
}

}  // namespace

std::optional<std::string> ResolveAddress(std::string_view page_address, std::string_view reference,
                                          LinkUse use) {
  const std::string cleaned = CleanReference(reference);
  if (cleaned.empty()) return std::nullopt;
  std::string_view ref = cleaned;
  const std::string scheme = SchemeOf(ref);
  std::string resolved;
  if (scheme == "mailto") {
    if (use != LinkUse::kFollow || ref.size() <= 7) return std::nullopt;
    resolved = std::string(ref);
    resolved.replace(0, 7, "mailto:");
  } else if (!scheme.empty()) {
    auto parts = Split(ref);
    if (!parts) return std::nullopt;
    const std::size_t hash = ref.find('#');
    resolved = Join(*parts, hash == std::string_view::npos ? std::string_view() : ref.substr(hash));
  } else {
    auto base = Split(page_address);
    if (!base) return std::nullopt;
    const std::size_t hash = ref.find('#');
    const std::string_view fragment = hash == std::string_view::npos ? std::string_view() : ref.substr(hash);
    ref = ref.substr(0, hash);
    SplitAddress parts = *base;
    if (ref.starts_with("//")) {
      std::string absolute = base->scheme;
      absolute.push_back(':');
      absolute.append(ref);
      auto other = Split(absolute);
      if (!other) return std::nullopt;
      parts = *other;
    } else if (ref.starts_with("/")) {
      const std::size_t question = ref.find('?');
      parts.path = std::string(ref.substr(0, question));
      parts.query = question == std::string_view::npos ? std::string() : std::string(ref.substr(question));
    } else if (ref.starts_with("?")) {
      parts.query = std::string(ref);
    } else if (!ref.empty()) {
      const std::size_t question = ref.find('?');
      const std::string folder = base->path.substr(0, base->path.rfind('/') + 1);
      parts.path = folder + std::string(ref.substr(0, question));
      parts.query = question == std::string_view::npos ? std::string() : std::string(ref.substr(question));
    }
    resolved = Join(parts, fragment);
  }
  const std::string final_scheme = SchemeOf(resolved);
  const bool allowed = use == LinkUse::kFollow
                           ? (final_scheme == "http" || final_scheme == "https" || final_scheme == "mailto")
                           : (final_scheme == "http" || final_scheme == "https");
  if (!allowed) return std::nullopt;
  // A secure page fetches nothing it shows over a plain connection, where anyone on the
  // way could swap the picture.
  if (use == LinkUse::kPicture && final_scheme == "http" && SchemeOf(page_address) == "https") return std::nullopt;
  return EncodeUnsafe(resolved);
}

std::optional<std::string> PageAddresses::Click(std::string_view href) {
  // Links are relative to the page on show, whatever was clicked before.
  auto address = ResolveAddress(page_, href, LinkUse::kFollow);
  if (address) current_ = *address;
  return address;
}

}  // namespace movarin::pageview
