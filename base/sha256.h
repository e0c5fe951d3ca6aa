#pragma once
// SHA-256 (FIPS 180-4), portable and incremental: a downloaded file is hashed as its
// chunks are written, without reading it back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace movarin::base {

inline constexpr std::size_t kSha256DigestBytes = 32;
inline constexpr std::size_t kSha256HexDigits = 2 * kSha256DigestBytes;

using Sha256Digest = std::array<std::uint8_t, kSha256DigestBytes>;

class Sha256 {
 public:
  Sha256();
  // Adds bytes to the message; any split of a message gives the same digest.
  void Update(std::span<const std::uint8_t> bytes);
  void Update(std::string_view text);
  // The digest of everything added so far. The object then starts a new message.
  Sha256Digest Finish();

  // The digest of one whole message.
  static Sha256Digest Of(std::span<const std::uint8_t> bytes);

 private:
  void Reset();
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_{};
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t total_bytes_ = 0;
};

// 64 lower-case hexadecimal digits, as sha256sum prints them.
std::string Sha256ToHex(const Sha256Digest& digest);
// Exactly 64 hexadecimal digits (either case) and nothing else; nullopt otherwise.
std::optional<Sha256Digest> Sha256FromHex(std::string_view text);

}  // namespace movarin::base
