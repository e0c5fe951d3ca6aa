// Text as Jet stores it, turned into the UTF-8 the rest of the program uses.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace movarin::catalogue::jet {

// UTF-16LE bytes (an odd last byte is dropped); lone surrogates become U+FFFD.
void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out);

// A Jet 4 text value: plain UTF-16LE, or the compressed form that starts FF FE, in which
// each 0x00 byte switches between one byte per character and UTF-16LE.
std::string DecodeJet4Text(std::span<const std::uint8_t> bytes);
void AppendJet4Text(std::span<const std::uint8_t> bytes, std::string& out);

// A Jet 3 text value: bytes in Windows code page 1252.
std::string DecodeCodePage1252(std::span<const std::uint8_t> bytes);
void AppendCodePage1252(std::span<const std::uint8_t> bytes, std::string& out);

}  // namespace movarin::catalogue::jet
