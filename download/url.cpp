#include "download/url.h"

namespace movarin::download {

namespace {
constexpr std::string_view kHttpPrefix = "http://";
}

std::string FileNameFromUrl(std::string_view address) {
  if (address.size() < 2) return {};
  if (address.substr(0, kHttpPrefix.size()) != kHttpPrefix || address == kHttpPrefix) return {};
  // The last character is not examined: an address ending in "/" names a folder.
  const std::size_t slash = address.rfind('/', address.size() - 2);
  if (slash == std::string_view::npos) return {};
  const std::string_view name = address.substr(slash + 1);
  // A dot only in the last position does not make an extension.
  if (name.size() < 2 || name.rfind('.', name.size() - 2) == std::string_view::npos) return {};
  return std::string(name);
}

void SplitUrl(std::string& address, std::string& path) {
  if (std::string_view(address).substr(0, kHttpPrefix.size()) == kHttpPrefix) {
    address.erase(0, kHttpPrefix.size());
  }
  const std::size_t slash = address.find('/');
  if (slash == std::string::npos) return;
  path = address.substr(slash);
  address.resize(slash);
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
