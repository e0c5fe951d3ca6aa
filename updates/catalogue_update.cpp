#include "updates/catalogue_update.h"

namespace movarin::updates {

bool ProxyBoxesEnabled(int connection_type_index) { return connection_type_index == kProxyConnectionType; }

std::optional<std::uint16_t> PortFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return 0;
  if (text.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::string LocalSizeText(std::int64_t local_size) { return std::to_string(local_size); }

std::string RemoteSizeText(std::int64_t server_size) {
  if (server_size > 0) return std::to_string(server_size);
  return std::string(database_update_texts::kSizeNotAvailable);
}

CatalogueDecision DecideCatalogueUpdate(std::int64_t local_size, std::int64_t server_size) {
  return server_size > local_size ? CatalogueDecision::kDownload : CatalogueDecision::kNoUpdate;
}

CatalogueCheck CheckCatalogueSizes(std::int64_t local_size, std::int64_t server_size) {
  CatalogueCheck check;
  check.local_size_field = LocalSizeText(local_size);
  check.remote_size_field = RemoteSizeText(server_size);
  check.decision = DecideCatalogueUpdate(local_size, server_size);
  check.status = check.decision == CatalogueDecision::kDownload ? database_update_texts::kNewUpdates
                                                                : database_update_texts::kNoNewUpdates;
  return check;
}

std::string PercentageText(int percent) { return std::to_string(percent) + " %"; }

}  // namespace movarin::updates
