#include "download/url.h"

#include "base/ascii.h"

namespace movarin::download {

namespace {
constexpr std::string_view kHttpPrefix = "http://";
constexpr std::string_view kHttpsPrefix = "https://";

// The length of the "http://" or "https://" the address starts with (case-sensitive), or 0.
std::size_t SchemePrefixLength(std::string_view address) {
  if (address.starts_with(kHttpPrefix)) return kHttpPrefix.size();
  if (address.starts_with(kHttpsPrefix)) return kHttpsPrefix.size();
  return 0;
}

}  // namespace

std::optional<std::uint16_t> ParsePortNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::string FileNameFromUrl(std::string_view address) {
  if (address.size() < 2) return {};
  const std::size_t prefix = SchemePrefixLength(address);
  if (prefix == 0 || address.size() == prefix) return {};
  // The last character is not examined: an address ending in "/" names a folder.
  const std::size_t slash = address.rfind('/', address.size() - 2);
  if (slash == std::string_view::npos) return {};
  const std::string_view name = address.substr(slash + 1);
  // A dot only in the last position does not make an extension.
  if (name.size() < 2 || name.rfind('.', name.size() - 2) == std::string_view::npos) return {};
  return std::string(name);
}

void SplitUrl(std::string& address, std::string& path) {
  address.erase(0, SchemePrefixLength(address));
  const std::size_t slash = address.find('/');
  if (slash == std::string::npos) return;
  path = address.substr(slash);
  address.resize(slash);
}

bool IsSecureAddress(std::string_view address) { return address.starts_with(kHttpsPrefix); }

std::optional<ServerAddress> ParseServerAddress(std::string_view url) {
  ServerAddress parts;
  if (base::StartsWithIgnoringAsciiCase(url, kHttpsPrefix)) {
    parts.secure = true;
    parts.port = kHttpsPort;
    url.remove_prefix(kHttpsPrefix.size());
  } else if (base::StartsWithIgnoringAsciiCase(url, kHttpPrefix)) {
    url.remove_prefix(kHttpPrefix.size());
  } else {
    return std::nullopt;
  }
  url = url.substr(0, url.find('#'));
  const std::size_t end = url.find_first_of("/?");
  std::string_view authority = url.substr(0, end);
  if (end != std::string_view::npos) {
    parts.path = std::string(url.substr(end));
    if (parts.path.front() == '?') parts.path.insert(0, 1, '/');
  } else {
    parts.path = "/";
  }
  // A user name and password written before the host are not sent: credentials are
  // given to a request separately.
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority;
  std::string_view port_text;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(1, close - 1);
    const std::string_view rest = authority.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port_text = rest.substr(1);
    }
  } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port_text = authority.substr(colon + 1);
  }
  if (host.empty()) return std::nullopt;
  parts.host = std::string(host);
  if (!port_text.empty()) {
    const auto port = ParsePortNumber(port_text);
    if (!port || *port == 0) return std::nullopt;
    parts.port = *port;
  }
  return parts;
}

std::string TrimAtNul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '/' || c == ':' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

std::string PlainFileNameFromUrl(std::string_view address) {
  std::string name = FileNameFromUrl(address);
  if (!IsPlainFileName(name)) return {};
  return name;
}

}  // namespace movarin::download
