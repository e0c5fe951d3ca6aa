// Overflow-checked size arithmetic for lengths taken from outside data: a result that
// does not fit is std::nullopt, never a wrapped-around small number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace movarin::base {

template <typename T>
  requires std::is_unsigned_v<T>
std::optional<T> CheckedAdd(T a, T b) {
  T out;
  if (__builtin_add_overflow(a, b, &out)) return std::nullopt;
  return out;
}

template <typename T>
  requires std::is_unsigned_v<T>
std::optional<T> CheckedMul(T a, T b) {
  T out;
  if (__builtin_mul_overflow(a, b, &out)) return std::nullopt;
  return out;
}

// a * b + c, checked as a whole.
template <typename T>
  requires std::is_unsigned_v<T>
std::optional<T> CheckedMulAdd(T a, T b, T c) {
  auto product = CheckedMul(a, b);
  if (!product) return std::nullopt;
  return CheckedAdd(*product, c);
}

// A 64-bit size from a file as a size_t of this process (fails on 32-bit hosts when the
// value does not fit).
inline std::optional<std::size_t> ToSize(std::uint64_t value) {
  if (value > static_cast<std::uint64_t>(SIZE_MAX)) return std::nullopt;
  return static_cast<std::size_t>(value);
}

}  // namespace movarin::base
