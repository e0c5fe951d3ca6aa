#include "imaging/inflate.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "base/byte_reader.h"
#include "imaging/deflate_tables.h"

namespace movarin::imaging {
namespace {

using namespace deflate;

// Codes up to this many bits are decoded with one table look-up; longer ones (rare)
// are decoded bit by bit from the canonical counts.
constexpr int kFastBits = 10;
constexpr std::uint16_t kFastSymbolMask = 0x1FF;
constexpr int kFastLengthShift = 9;

enum class CodeKind { kCodeLengths, kLiteralLengths, kDistances, kFixed };

struct Huffman {
  std::uint16_t fast[1 << kFastBits];  // (length << 9) | symbol; 0 where the code is longer
  std::uint16_t count[kMaxCodeBits + 1];
  std::uint16_t symbol[kLiteralLengthSymbols];

  // Builds the canonical code. The completeness rules are those of the zlib library, so
  // that both decoders accept and refuse the same streams.
  bool Build(const std::uint8_t* lengths, int n, CodeKind kind) {
    std::memset(count, 0, sizeof count);
    for (int i = 0; i < n; ++i) count[lengths[i]]++;
    count[0] = 0;
    int left = 1, max_len = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) return false;  // over-subscribed
      if (count[len]) max_len = len;
    }
    if (left > 0 && kind != CodeKind::kFixed) {
      // Incomplete: only a distance or literal code with at most one 1-bit code.
      if (kind == CodeKind::kCodeLengths || max_len > 1) return false;
    }
    std::uint16_t offset[kMaxCodeBits + 2] = {};
    for (int len = 1; len <= kMaxCodeBits; ++len) offset[len + 1] = offset[len] + count[len];
    std::uint16_t next_code[kMaxCodeBits + 1] = {};
    unsigned code = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
      code = (code + count[len - 1]) << 1;
      next_code[len] = static_cast<std::uint16_t>(code);
    }
    std::memset(fast, 0, sizeof fast);
    for (int i = 0; i < n; ++i) {
      const int len = lengths[i];
      if (!len) continue;
      symbol[offset[len]++] = static_cast<std::uint16_t>(i);
      const unsigned c = next_code[len]++;
      if (len > kFastBits) continue;
      unsigned rev = 0;
      for (int b = 0; b < len; ++b) rev |= ((c >> b) & 1u) << (len - 1 - b);
      const auto entry = static_cast<std::uint16_t>((len << kFastLengthShift) | i);
      for (unsigned j = rev; j < (1u << kFastBits); j += 1u << len) fast[j] = entry;
    }
    return true;
  }
};

struct FixedCodes {
  Huffman literal, distance;
  FixedCodes() {
    std::uint8_t lengths[kLiteralLengthSymbols];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    literal.Build(lengths, kLiteralLengthSymbols, CodeKind::kFixed);
    std::fill(lengths, lengths + kDistanceSymbols, 5);
    distance.Build(lengths, kDistanceSymbols, CodeKind::kFixed);
  }
};

// Built on first use and shared by every later decode.
const FixedCodes& Fixed() {
  static const FixedCodes codes;
  return codes;
}

class Inflater {
 public:
  Inflater(std::span<const std::uint8_t> in, std::size_t max_output)
      : p_(in.data()), end_(in.data() + in.size()), input_size_(in.size()), max_(max_output) {}

  // The output once Run() has succeeded.
  std::vector<std::uint8_t>& output() { return out_; }

  base::Result<void, ImageError> Run() {
    bool last = false;
    while (!last) {
      Refill();
      if (bitcount_ < 3) return ImageError::kTruncated;
      last = Bits(1);
      const unsigned type = Bits(2);
      base::Result<void, ImageError> e;
      if (type == kBlockStored) {
        e = Stored();
      } else if (type == kBlockFixed) {
        e = Codes(Fixed().literal, Fixed().distance);
      } else if (type == kBlockDynamic) {
        e = Dynamic();
      } else {
        return ImageError::kBadBlockType;
      }
      if (!e) return e;
    }
    out_.resize(n_);
    return {};
  }

  // After the last block: the next whole bytes of input (the zlib trailer).
  std::optional<std::uint32_t> ReadTrailerU32BE() {
    DropToByte();
    const auto value = base::ByteReader(std::span(p_, end_)).U32BE(0);
    if (value) p_ += 4;
    return value;
  }

 private:
  void Refill() {
    if (end_ - p_ >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p_, 8);
      if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
      bitbuf_ |= word << bitcount_;
      p_ += (63 - bitcount_) >> 3;
      bitcount_ |= 56;
    } else {
      while (bitcount_ <= 56 && p_ < end_) {
        bitbuf_ |= std::uint64_t(*p_++) << bitcount_;
        bitcount_ += 8;
      }
    }
  }
  // Callers make sure that n <= bitcount_.
  unsigned Bits(int n) {
    const auto v = static_cast<unsigned>(bitbuf_ & ((std::uint64_t(1) << n) - 1));
    bitbuf_ >>= n;
    bitcount_ -= n;
    return v;
  }
  std::optional<unsigned> TakeBits(int n) {
    if (n > bitcount_) {
      Refill();
      if (n > bitcount_) return std::nullopt;
    }
    return Bits(n);
  }
  // Gives back the whole bytes still held in the bit buffer.
  void DropToByte() {
    Bits(bitcount_ & 7);
    p_ -= bitcount_ >> 3;
    bitbuf_ = 0;
    bitcount_ = 0;
  }

  // -1: truncated, -2: no such code.
  int Decode(const Huffman& h) {
    if (bitcount_ < kMaxCodeBits) Refill();
    const std::uint16_t e = h.fast[bitbuf_ & ((1u << kFastBits) - 1)];
    if (e) {
      const int len = e >> kFastLengthShift;
      if (len > bitcount_) return -1;
      Bits(len);
      return e & kFastSymbolMask;
    }
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
      code |= static_cast<int>((bitbuf_ >> (len - 1)) & 1);
      const int count = h.count[len];
      if (code - count < first) {
        if (len > bitcount_) return -1;
        Bits(len);
        return h.symbol[index + (code - first)];
      }
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return bitcount_ < kMaxCodeBits ? -1 : -2;
  }

  bool Room(std::size_t extra) {
    if (extra > max_ - n_) return false;
    if (n_ + extra > out_.size()) {
      const std::size_t want = std::max(n_ + extra, NextOutputSize(out_.size(), input_size_));
      out_.resize(std::min(want, max_));
    }
    return true;
  }

  base::Result<void, ImageError> Stored() {
    DropToByte();
    if (end_ - p_ < 4) return ImageError::kTruncated;
    const unsigned len = p_[0] | (p_[1] << 8);
    const unsigned nlen = p_[2] | (p_[3] << 8);
    p_ += 4;
    if (len != (~nlen & 0xFFFFu)) return ImageError::kBadStoredLength;
    if (static_cast<std::size_t>(end_ - p_) < len) return ImageError::kTruncated;
    if (!Room(len)) return ImageError::kOutputTooLarge;
    if (len == 0) return {};  // nothing to copy, maybe nowhere to copy to
    std::memcpy(out_.data() + n_, p_, len);
    n_ += len;
    p_ += len;
    return {};
  }

  base::Result<void, ImageError> Dynamic() {
    const auto hlit_bits = TakeBits(5);
    const auto hdist_bits = hlit_bits ? TakeBits(5) : std::nullopt;
    const auto hclen_bits = hdist_bits ? TakeBits(4) : std::nullopt;
    if (!hclen_bits) return ImageError::kTruncated;
    const unsigned hlit = *hlit_bits + 257, hdist = *hdist_bits + 1, hclen = *hclen_bits + 4;
    if (hlit > kMaxDynamicLiteralLengths || hdist > kMaxDynamicDistances) {
      return ImageError::kBadHuffmanCode;
    }
    std::uint8_t lengths[kMaxDynamicLiteralLengths + kMaxDynamicDistances] = {};
    for (unsigned i = 0; i < hclen; ++i) {
      const auto v = TakeBits(3);
      if (!v) return ImageError::kTruncated;
      lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(*v);
    }
    Huffman lencode;
    if (!lencode.Build(lengths, kCodeLengthSymbols, CodeKind::kCodeLengths)) {
      return ImageError::kBadHuffmanCode;
    }
    std::memset(lengths, 0, sizeof lengths);
    unsigned i = 0;
    while (i < hlit + hdist) {
      const int sym = Decode(lencode);
      if (sym == -1) return ImageError::kTruncated;
      if (sym < 0) return ImageError::kBadHuffmanCode;
      if (sym < 16) {
        lengths[i++] = static_cast<std::uint8_t>(sym);
        continue;
      }
      unsigned value = 0;
      std::optional<unsigned> extra;
      unsigned base_count = 0;
      if (sym == 16) {
        if (i == 0) return ImageError::kBadHuffmanCode;
        value = lengths[i - 1];
        extra = TakeBits(2), base_count = 3;
      } else if (sym == 17) {
        extra = TakeBits(3), base_count = 3;
      } else {
        extra = TakeBits(7), base_count = 11;
      }
      if (!extra) return ImageError::kTruncated;
      const unsigned repeat = *extra + base_count;
      if (i + repeat > hlit + hdist) return ImageError::kBadHuffmanCode;
      std::fill(lengths + i, lengths + i + repeat, static_cast<std::uint8_t>(value));
      i += repeat;
    }
    if (lengths[kEndOfBlock] == 0) return ImageError::kBadHuffmanCode;
    Huffman literal, distance;
    if (!literal.Build(lengths, static_cast<int>(hlit), CodeKind::kLiteralLengths) ||
        !distance.Build(lengths + hlit, static_cast<int>(hdist), CodeKind::kDistances)) {
      return ImageError::kBadHuffmanCode;
    }
    return Codes(literal, distance);
  }

  base::Result<void, ImageError> Codes(const Huffman& literal, const Huffman& distance) {
    for (;;) {
      int sym = Decode(literal);
      if (sym < 256) {
        if (sym == -1) return ImageError::kTruncated;
        if (sym < 0) return ImageError::kBadHuffmanCode;
        if (n_ == out_.size() && !Room(1)) return ImageError::kOutputTooLarge;
        if (n_ >= max_) return ImageError::kOutputTooLarge;
        out_[n_++] = static_cast<std::uint8_t>(sym);
        continue;
      }
      if (sym == kEndOfBlock) return {};
      sym -= 257;
      if (sym >= static_cast<int>(kLengthBase.size())) return ImageError::kBadHuffmanCode;
      const auto length_extra = TakeBits(kLengthExtraBits[sym]);
      if (!length_extra) return ImageError::kTruncated;
      const std::size_t len = kLengthBase[sym] + *length_extra;
      int dsym = Decode(distance);
      if (dsym == -1) return ImageError::kTruncated;
      if (dsym < 0 || dsym >= static_cast<int>(kDistanceBase.size())) {
        return ImageError::kBadHuffmanCode;
      }
      const auto distance_extra = TakeBits(kDistanceExtraBits[dsym]);
      if (!distance_extra) return ImageError::kTruncated;
      const std::size_t dist = kDistanceBase[dsym] + *distance_extra;
      if (dist > n_) return ImageError::kBadDistance;
      if (!Room(len)) return ImageError::kOutputTooLarge;
      std::uint8_t* dst = out_.data() + n_;
      const std::uint8_t* src = dst - dist;
      if (dist >= len) {
        std::memcpy(dst, src, len);
      } else if (dist == 1) {
        std::memset(dst, *src, len);
      } else {
        for (std::size_t k = 0; k < len; ++k) dst[k] = src[k];
      }
      n_ += len;
    }
  }

  const std::uint8_t* p_;
  const std::uint8_t* end_;
  std::size_t input_size_;
  std::uint64_t bitbuf_ = 0;
  int bitcount_ = 0;
  std::size_t max_;
  std::vector<std::uint8_t> out_;
  std::size_t n_ = 0;
};

}  // namespace

std::size_t NextOutputSize(std::size_t current, std::size_t input_size) {
  constexpr std::size_t kMinimum = 64 * 1024;
  constexpr std::size_t kOrdinaryExpansion = 8;
  std::size_t first;
  if (__builtin_mul_overflow(input_size, kOrdinaryExpansion, &first)) first = SIZE_MAX;
  if (current < first) return std::max(first, kMinimum);
  std::size_t doubled;
  return __builtin_mul_overflow(current, std::size_t(2), &doubled) ? SIZE_MAX : doubled;
}

std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler) {
  constexpr std::uint32_t kBase = 65521;
  constexpr std::size_t kBlock = 5552;  // largest run without overflowing 32 bits
  std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
  std::size_t pos = 0;
  while (pos < data.size()) {
    const std::size_t n = std::min(kBlock, data.size() - pos);
    for (std::size_t i = 0; i < n; ++i) {
      a += data[pos + i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
    pos += n;
  }
  return (b << 16) | a;
}

base::Result<std::vector<std::uint8_t>, ImageError> InflateRawDeflate(std::span<const std::uint8_t> in,
                                                                       std::size_t max_output) {
  Inflater inflater(in, max_output);
  if (auto run = inflater.Run(); !run) return run.error();
  return std::move(inflater.output());
}

base::Result<std::vector<std::uint8_t>, ImageError> InflateZlibStream(std::span<const std::uint8_t> in,
                                                                       std::size_t max_output) {
  if (in.size() < 2) return ImageError::kTruncated;
  const unsigned cmf = in[0], flg = in[1];
  if ((cmf & 0x0F) != kZlibMethodDeflate || (cmf >> 4) > kZlibMaxWindowInfo ||
      ((cmf << 8) | flg) % 31 != 0 || (flg & kZlibPresetDictionaryFlag)) {
    return ImageError::kBadZlibHeader;
  }
  Inflater inflater(in.subspan(2), max_output);
  if (auto run = inflater.Run(); !run) return run.error();
  const auto expected = inflater.ReadTrailerU32BE();
  if (!expected) return ImageError::kTruncated;
  if (Adler32(inflater.output()) != *expected) return ImageError::kChecksumMismatch;
  return std::move(inflater.output());
}

}  // namespace movarin::imaging
