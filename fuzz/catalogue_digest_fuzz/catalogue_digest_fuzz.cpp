// Hostile "database.mdb.sha256" replies: a digest is read only from a small, well-formed
// text, and what is read is the text's own first 64 digits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "base/sha256.h"
#include "updates/catalogue_digest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movarin;
  const auto parsed = updates::ParseCatalogueDigest(std::span(data, size));
  if (!parsed) return 0;
  if (size > updates::kMaxCatalogueDigestBytes || size < base::kSha256HexDigits) std::abort();
  const std::string_view digits(reinterpret_cast<const char*>(data), base::kSha256HexDigits);
  const auto again = base::Sha256FromHex(digits);
  if (!again || *again != *parsed) std::abort();
  return 0;
}
