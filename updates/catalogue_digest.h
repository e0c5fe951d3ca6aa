#pragma once
// The catalogue's own digest: a server may publish "database.mdb.sha256" beside
// "database.mdb", the text sha256sum writes (64 hexadecimal digits, optionally blanks and
// a file name, one line). The reply comes from the network and is treated as hostile:
// it is read only when small and well formed.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "base/sha256.h"
#include "download/expected_digest.h"

namespace movarin::updates {

// The server path of the digest, after the catalogue's own address.
inline constexpr std::string_view kCatalogueDigestSuffix = ".sha256";
// Larger replies are refused unread: the line holds 64 digits and a short name.
inline constexpr std::size_t kMaxCatalogueDigestBytes = 1024;

enum class DigestReplyError {
  kTooLarge,
  kNotADigest,   // not 64 hexadecimal digits at the start
  kBadNamePart,  // what follows the digits is not blanks and a name on one line
};
std::string_view DigestReplyErrorText(DigestReplyError error);

// "<64 hex digits>[<blanks>[*]<name>][CR]LF" or the digits alone. The name is not
// compared: a digest file made elsewhere may name another path.
base::Result<base::Sha256Digest, DigestReplyError> ParseCatalogueDigest(std::span<const std::uint8_t> reply);

// How the request for the digest ended.
struct CatalogueDigestAnswer {
  enum class Kind {
    kNotPublished,  // the server answered 404: the catalogue is taken as it comes
    kAnswered,      // 200 and a body
    kFailed,        // no answer, another status, or a body too large
  };
  Kind kind = Kind::kFailed;
  std::string body;
};

// What the download of the catalogue must hash to. Only a digest the server does not
// publish at all lets the catalogue through unchecked; a digest that cannot be read or
// fetched is unusable, so the update fails and the old catalogue stays.
download::ExpectedDigest ExpectedCatalogueDigest(const CatalogueDigestAnswer& answer);

}  // namespace movarin::updates
