#include "updates/catalogue_digest.h"

#include <string>

namespace movarin::updates {
namespace {

bool IsBlank(std::uint8_t c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view DigestReplyErrorText(DigestReplyError error) {
  switch (error) {
    case DigestReplyError::kTooLarge: return "the digest file is too large";
    case DigestReplyError::kNotADigest: return "the digest file does not start with 64 hexadecimal digits";
    case DigestReplyError::kBadNamePart: return "the digest file holds more than one digest line";
  }
  return "unknown error";
}

base::Result<base::Sha256Digest, DigestReplyError> ParseCatalogueDigest(std::span<const std::uint8_t> reply) {
  if (reply.size() > kMaxCatalogueDigestBytes) return base::Fail(DigestReplyError::kTooLarge);
  if (reply.size() < base::kSha256HexDigits) return base::Fail(DigestReplyError::kNotADigest);
  const std::string_view digits(reinterpret_cast<const char*>(reply.data()), base::kSha256HexDigits);
  const auto digest = base::Sha256FromHex(digits);
  if (!digest) return base::Fail(DigestReplyError::kNotADigest);

  std::span<const std::uint8_t> rest = reply.subspan(base::kSha256HexDigits);
  // One line end may close the text.
  if (!rest.empty() && rest.back() == '\n') {
    rest = rest.first(rest.size() - 1);
    if (!rest.empty() && rest.back() == '\r') rest = rest.first(rest.size() - 1);
  }
  if (rest.empty()) return *digest;
  // Blanks, then a name of printable characters (no line end, no control character).
  if (!IsBlank(rest.front())) return base::Fail(DigestReplyError::kBadNamePart);
  std::size_t at = 0;
  while (at < rest.size() && IsBlank(rest[at])) ++at;
  for (; at < rest.size(); ++at) {
    if (rest[at] < 0x20 || rest[at] == 0x7F) return base::Fail(DigestReplyError::kBadNamePart);
  }
  return *digest;
}

download::ExpectedDigest ExpectedCatalogueDigest(const CatalogueDigestAnswer& answer) {
  switch (answer.kind) {
    case CatalogueDigestAnswer::Kind::kNotPublished:
      return {};
    case CatalogueDigestAnswer::Kind::kAnswered:
      if (const auto digest = ParseCatalogueDigest(std::span(
              reinterpret_cast<const std::uint8_t*>(answer.body.data()), answer.body.size()))) {
        return download::ExpectedDigest::Of(*digest);
      }
      break;
    case CatalogueDigestAnswer::Kind::kFailed:
      break;
  }
  return download::ExpectedDigest::Unusable();
}

}  // namespace movarin::updates
