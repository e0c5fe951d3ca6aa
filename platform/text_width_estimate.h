#pragma once
// An upper bound of how wide a text shows in the programs' bold Tahoma, so that layout
// tables can be checked natively: labels must show their whole text at every DPI. The
// widths bound both Tahoma Bold and the bold sans face Wine puts in its place.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace movarin::ui {

// Advance widths of the printable ASCII characters (space to '~') in thousandths of the
// font's em, the larger of the two faces, rounded up.
inline constexpr std::array<std::uint16_t, 95> kBoldSansAdvance{
    349, 457, 521, 838, 696, 1199, 873, 307, 458, 458, 637, 838, 380, 432, 380, 578,    // ' ' to '/'
    696, 696, 696, 696, 696, 696, 696, 696, 696, 696, 400, 400, 838, 838, 838, 581,     // '0' to '?'
    1000, 774, 763, 734, 831, 684, 684, 821, 837, 484, 501, 775, 638, 996, 837, 851,    // '@' to 'O'
    733, 851, 771, 721, 683, 813, 774, 1104, 771, 725, 726, 458, 578, 458, 838, 637,    // 'P' to '_'
    546, 675, 716, 593, 716, 679, 436, 716, 712, 343, 363, 666, 343, 1042, 712, 688,    // '`' to 'o'
    716, 716, 494, 596, 479, 712, 652, 924, 646, 652, 583, 712, 637, 712, 838,          // 'p' to '~'
};
// Any other character: the widest of the table.
inline constexpr int kBoldSansWidestAdvance = 1199;

// The width in pixels at `dpi` of a one-line UTF-8 text in bold Tahoma of the given size
// (975 is 9.75 pt), with half a pixel a character for the rounding of hinted glyphs.
constexpr int EstimatedBoldTextWidthPixels(std::string_view utf8, int hundredths_of_point, int dpi) {
  std::int64_t thousandths_of_em = 0;
  std::int64_t characters = 0;
  for (char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte of a longer character
    ++characters;
    thousandths_of_em += (byte >= 0x20 && byte < 0x7F) ? kBoldSansAdvance[byte - 0x20] : kBoldSansWidestAdvance;
  }
  // The font's em in whole pixels, rounded as the font is created at `dpi`; then the
  // sum in thousandths of a pixel, rounded up.
  const std::int64_t em = (static_cast<std::int64_t>(hundredths_of_point) * dpi + 3600) / 7200;
  const std::int64_t thousandths = thousandths_of_em * em + characters * 500;
  return static_cast<int>((thousandths + 999) / 1000);
}

}  // namespace movarin::ui
