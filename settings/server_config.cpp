#include "settings/server_config.h"

#include "base/ascii.h"

namespace movarin::settings {

namespace {

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string ServerBaseUrlFromIni(std::string_view text) {
  // A UTF-8 byte-order mark may lead the file.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool in_server = false;
  std::string found;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      in_server = close != std::string_view::npos &&
                  base::EqualsIgnoringAsciiCase(Trim(line.substr(1, close - 1)), "Server");
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!in_server || eq == std::string_view::npos) continue;
    if (base::EqualsIgnoringAsciiCase(Trim(line.substr(0, eq)), "BaseUrl"))
      found = std::string(Trim(line.substr(eq + 1)));
  }
  if (found.empty()) return std::string(kDefaultServerBaseUrl);
  if (found.back() != '/') found += '/';
  return found;
}

}  // namespace movarin::settings
