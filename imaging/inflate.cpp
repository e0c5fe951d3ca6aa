#include "imaging/inflate.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "imaging/deflate_tables.h"

namespace movarin::imaging {
namespace {

using namespace deflate;

// Codes up to this many bits are decoded with one table look-up; longer ones (rare)
// are decoded bit by bit from the canonical counts.
constexpr int kFastBits = 10;
constexpr std::uint16_t kFastSymbolMask = 0x1FF;
constexpr int kFastLengthShift = 9;

enum class CodeKind { CodeLengths, LiteralLengths, Distances, Fixed };

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
    if (left > 0 && kind != CodeKind::Fixed) {
      // Incomplete: only a distance or literal code with at most one 1-bit code.
      if (kind == CodeKind::CodeLengths || max_len > 1) return false;
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
    literal.Build(lengths, kLiteralLengthSymbols, CodeKind::Fixed);
    std::fill(lengths, lengths + kDistanceSymbols, 5);
    distance.Build(lengths, kDistanceSymbols, CodeKind::Fixed);
  }
};

// Built on first use and shared by every later decode.
const FixedCodes& Fixed() {
  static const FixedCodes codes;
  return codes;
}

class Inflater {
 public:
  Inflater(std::span<const std::uint8_t> in, std::size_t max_output, std::vector<std::uint8_t>& out)
      : p_(in.data()), end_(in.data() + in.size()), input_size_(in.size()), max_(max_output), out_(out) {
    out_.clear();
  }

  ImageError Run() {
    bool last = false;
    while (!last) {
      Refill();
      if (bitcount_ < 3) return ImageError::Truncated;
      last = Bits(1);
      const unsigned type = Bits(2);
      ImageError e;
      if (type == kBlockStored) {
        e = Stored();
      } else if (type == kBlockFixed) {
        e = Codes(Fixed().literal, Fixed().distance);
      } else if (type == kBlockDynamic) {
        e = Dynamic();
      } else {
        return ImageError::BadBlockType;
      }
      if (e != ImageError::None) return e;
    }
    out_.resize(n_);
    return ImageError::None;
  }

  // After the last block: the next whole bytes of input (the zlib trailer).
  bool ReadTrailerU32BE(std::uint32_t& v) {
    DropToByte();
    if (end_ - p_ < 4) return false;
    v = (std::uint32_t(p_[0]) << 24) | (std::uint32_t(p_[1]) << 16) | (std::uint32_t(p_[2]) << 8) |
        std::uint32_t(p_[3]);
    p_ += 4;
    return true;
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
  bool TakeBits(int n, unsigned& v) {
    if (n > bitcount_) {
      Refill();
      if (n > bitcount_) return false;
    }
    v = Bits(n);
    return true;
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

  ImageError Stored() {
    DropToByte();
    if (end_ - p_ < 4) return ImageError::Truncated;
    const unsigned len = p_[0] | (p_[1] << 8);
    const unsigned nlen = p_[2] | (p_[3] << 8);
    p_ += 4;
    if (len != (~nlen & 0xFFFFu)) return ImageError::BadStoredLength;
    if (static_cast<std::size_t>(end_ - p_) < len) return ImageError::Truncated;
    if (!Room(len)) return ImageError::OutputTooLarge;
    if (len == 0) return ImageError::None;  // nothing to copy, maybe nowhere to copy to
    std::memcpy(out_.data() + n_, p_, len);
    n_ += len;
    p_ += len;
    return ImageError::None;
  }

  ImageError Dynamic() {
    unsigned hlit, hdist, hclen;
    if (!TakeBits(5, hlit) || !TakeBits(5, hdist) || !TakeBits(4, hclen)) return ImageError::Truncated;
    hlit += 257, hdist += 1, hclen += 4;
    if (hlit > kMaxDynamicLiteralLengths || hdist > kMaxDynamicDistances) {
      return ImageError::BadHuffmanCode;
    }
    std::uint8_t lengths[kMaxDynamicLiteralLengths + kMaxDynamicDistances] = {};
    for (unsigned i = 0; i < hclen; ++i) {
      unsigned v;
      if (!TakeBits(3, v)) return ImageError::Truncated;
      lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(v);
    }
    Huffman lencode;
    if (!lencode.Build(lengths, kCodeLengthSymbols, CodeKind::CodeLengths)) {
      return ImageError::BadHuffmanCode;
    }
    std::memset(lengths, 0, sizeof lengths);
    unsigned i = 0;
    while (i < hlit + hdist) {
      const int sym = Decode(lencode);
      if (sym == -1) return ImageError::Truncated;
      if (sym < 0) return ImageError::BadHuffmanCode;
      if (sym < 16) {
        lengths[i++] = static_cast<std::uint8_t>(sym);
        continue;
      }
      unsigned repeat, value = 0;
      if (sym == 16) {
        if (i == 0) return ImageError::BadHuffmanCode;
        value = lengths[i - 1];
        if (!TakeBits(2, repeat)) return ImageError::Truncated;
        repeat += 3;
      } else if (sym == 17) {
        if (!TakeBits(3, repeat)) return ImageError::Truncated;
        repeat += 3;
      } else {
        if (!TakeBits(7, repeat)) return ImageError::Truncated;
        repeat += 11;
      }
      if (i + repeat > hlit + hdist) return ImageError::BadHuffmanCode;
      std::fill(lengths + i, lengths + i + repeat, static_cast<std::uint8_t>(value));
      i += repeat;
    }
    if (lengths[kEndOfBlock] == 0) return ImageError::BadHuffmanCode;
    Huffman literal, distance;
    if (!literal.Build(lengths, static_cast<int>(hlit), CodeKind::LiteralLengths) ||
        !distance.Build(lengths + hlit, static_cast<int>(hdist), CodeKind::Distances)) {
      return ImageError::BadHuffmanCode;
    }
    return Codes(literal, distance);
  }

  ImageError Codes(const Huffman& literal, const Huffman& distance) {
    for (;;) {
      int sym = Decode(literal);
      if (sym < 256) {
        if (sym == -1) return ImageError::Truncated;
        if (sym < 0) return ImageError::BadHuffmanCode;
        if (n_ == out_.size() && !Room(1)) return ImageError::OutputTooLarge;
        if (n_ >= max_) return ImageError::OutputTooLarge;
        out_[n_++] = static_cast<std::uint8_t>(sym);
        continue;
      }
      if (sym == kEndOfBlock) return ImageError::None;
      sym -= 257;
      if (sym >= static_cast<int>(kLengthBase.size())) return ImageError::BadHuffmanCode;
      unsigned extra;
      if (!TakeBits(kLengthExtraBits[sym], extra)) return ImageError::Truncated;
      const std::size_t len = kLengthBase[sym] + extra;
      int dsym = Decode(distance);
      if (dsym == -1) return ImageError::Truncated;
      if (dsym < 0 || dsym >= static_cast<int>(kDistanceBase.size())) {
        return ImageError::BadHuffmanCode;
      }
      if (!TakeBits(kDistanceExtraBits[dsym], extra)) return ImageError::Truncated;
      const std::size_t dist = kDistanceBase[dsym] + extra;
      if (dist > n_) return ImageError::BadDistance;
      if (!Room(len)) return ImageError::OutputTooLarge;
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
  std::vector<std::uint8_t>& out_;
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

ImageError InflateRawDeflate(std::span<const std::uint8_t> in, std::size_t max_output,
                             std::vector<std::uint8_t>& out) {
  Inflater inflater(in, max_output, out);
  return inflater.Run();
}

ImageError InflateZlibStream(std::span<const std::uint8_t> in, std::size_t max_output,
                             std::vector<std::uint8_t>& out) {
  out.clear();
  if (in.size() < 2) return ImageError::Truncated;
  const unsigned cmf = in[0], flg = in[1];
  if ((cmf & 0x0F) != kZlibMethodDeflate || (cmf >> 4) > kZlibMaxWindowInfo ||
      ((cmf << 8) | flg) % 31 != 0 || (flg & kZlibPresetDictionaryFlag)) {
    return ImageError::BadZlibHeader;
  }
  Inflater inflater(in.subspan(2), max_output, out);
  if (const ImageError e = inflater.Run(); e != ImageError::None) return e;
  std::uint32_t expected;
  if (!inflater.ReadTrailerU32BE(expected)) return ImageError::Truncated;
  if (Adler32(out) != expected) return ImageError::ChecksumMismatch;
  return ImageError::None;
}

}  // namespace movarin::imaging
