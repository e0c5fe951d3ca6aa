#pragma once
// Small pictures built in the tests, for the cases the generated corpus does not cover:
// broken chunks, hostile sizes, exact byte counts.
#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include "base/result.h"
#include "imaging/image_error.h"

namespace movarin::imaging::testing {

using Bytes = std::vector<std::uint8_t>;

// The error of a failed decode or load, nullopt for a success, so a test compares it with
// the error it expects (or with std::nullopt).
template <typename T>
std::optional<ImageError> ErrorOf(const base::Result<T, ImageError>& result) {
  if (result) return std::nullopt;
  return result.error();
}

// Puts what a decode produced into `out` (an empty value when it failed) and returns its
// error as ErrorOf does.
template <typename T>
std::optional<ImageError> Into(T& out, base::Result<T, ImageError> result) {
  out = result ? std::move(*result) : T{};
  return ErrorOf(result);
}

void PutU32BE(Bytes& out, std::uint32_t v);
void PutU32LE(Bytes& out, std::uint32_t v);
void PutU16LE(Bytes& out, std::uint16_t v);
Bytes ZlibCompress(const Bytes& raw, int level = 6);

// One chunk with its length and CRC.
Bytes PngChunk(const std::string& type, const Bytes& data);
Bytes IhdrChunk(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colour_type,
                std::uint8_t interlace = 0);
// An 8-bit RGBA picture whose rows use filter 0; pixel (x, y) is (x, y, x + y, 255).
Bytes RgbaPng(std::uint32_t width, std::uint32_t height, const std::vector<Bytes>& extra_chunks = {});

}  // namespace movarin::imaging::testing
