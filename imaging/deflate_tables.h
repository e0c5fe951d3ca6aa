#pragma once
// The fixed tables of the DEFLATE format (RFC 1951).
#include <array>
#include <cstdint>

namespace movarin::imaging::deflate {

inline constexpr int kMaxCodeBits = 15;
inline constexpr int kLiteralLengthSymbols = 288;  // 286 usable, 2 reserved
inline constexpr int kDistanceSymbols = 32;        // 30 usable, 2 reserved
inline constexpr int kMaxDynamicLiteralLengths = 286;
inline constexpr int kMaxDynamicDistances = 30;
inline constexpr int kCodeLengthSymbols = 19;
inline constexpr int kEndOfBlock = 256;

inline constexpr std::array<std::uint16_t, 29> kLengthBase = {
    3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
    35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr std::array<std::uint8_t, 29> kLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::array<std::uint8_t, 30> kDistanceExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6,
    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block lists the code lengths of the code-length code.
inline constexpr std::array<std::uint8_t, kCodeLengthSymbols> kCodeLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Block types in the 2-bit BTYPE field.
inline constexpr unsigned kBlockStored = 0;
inline constexpr unsigned kBlockFixed = 1;
inline constexpr unsigned kBlockDynamic = 2;

// zlib header (RFC 1950)
inline constexpr unsigned kZlibMethodDeflate = 8;
inline constexpr unsigned kZlibMaxWindowInfo = 7;
inline constexpr unsigned kZlibPresetDictionaryFlag = 0x20;

}  // namespace movarin::imaging::deflate
