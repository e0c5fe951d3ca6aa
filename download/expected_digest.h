#pragma once
// What the body of a download must hash to before the file is put in place. A catalogue
// entry with a sha256 value carries one; an entry without one downloads unchecked.
#include <optional>
#include <string_view>

#include "base/sha256.h"

namespace movarin::download {

class ExpectedDigest {
 public:
  // No digest: the body is not checked.
  ExpectedDigest() = default;
  static ExpectedDigest Of(const base::Sha256Digest& digest) { return ExpectedDigest(Kind::kDigest, digest); }
  // A catalogue's text: empty is no digest, 64 hexadecimal digits are that digest, and
  // anything else is unusable: the catalogue promised a digest it does not hold, so the
  // file cannot be vouched for and is not downloaded.
  static ExpectedDigest FromCatalogueText(std::string_view text);
  // A digest that was promised but cannot be had: the download is refused.
  static ExpectedDigest Unusable() { return ExpectedDigest(Kind::kUnusable, {}); }

  bool IsNone() const { return kind_ == Kind::kNone; }
  bool IsUnusable() const { return kind_ == Kind::kUnusable; }
  // The digest, when there is a usable one.
  const base::Sha256Digest* digest() const { return kind_ == Kind::kDigest ? &digest_ : nullptr; }

  bool operator==(const ExpectedDigest&) const = default;

 private:
  enum class Kind { kNone, kDigest, kUnusable };
  ExpectedDigest(Kind kind, const base::Sha256Digest& digest) : kind_(kind), digest_(digest) {}
  Kind kind_ = Kind::kNone;
  base::Sha256Digest digest_{};
};

}  // namespace movarin::download
