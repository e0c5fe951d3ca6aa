// RC4, the stream cipher that masks the Jet header (and encrypts pages when a database
// sets a page key).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace movarin::catalogue::jet {

class Rc4 {
 public:
  explicit Rc4(std::span<const std::uint8_t> key);
  // XORs the keystream into the bytes, continuing where the last call stopped.
  void Apply(std::span<std::uint8_t> bytes);

 private:
  std::array<std::uint8_t, 256> state_{};
  std::uint8_t i_ = 0;
  std::uint8_t j_ = 0;
};

}  // namespace movarin::catalogue::jet
