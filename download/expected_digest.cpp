#include "download/expected_digest.h"

namespace movarin::download {

ExpectedDigest ExpectedDigest::FromCatalogueText(std::string_view text) {
  if (text.empty()) return ExpectedDigest();
  if (const auto digest = base::Sha256FromHex(text)) return Of(*digest);
  return Unusable();
}

}  // namespace movarin::download
