// Every generated picture, loaded by Bitmap32, against the pixels an independent
// decoder (Pillow or ImageMagick) read from the same file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/bitmap32.h"
#include "imaging/png_parser.h"
#include "tests/native/imaging/image_corpus.h"
#include "tests/support/files.h"

namespace movarin::imaging {
namespace {

using testing::Corpus;
using testing::CorpusCase;

// Compares pixels; reports the first few differences beyond the tolerance.
::testing::AssertionResult SamePixels(const CorpusCase& c, const std::uint8_t* actual) {
  int bad = 0;
  std::string report;
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    if (std::abs(int(actual[i]) - int(c.expected[i])) > c.tolerance) {
      if (++bad <= 4) {
        const std::size_t px = i / 4;
        report += " pixel (" + std::to_string(px % c.width) + "," + std::to_string(px / c.width) + ") byte " +
                  std::to_string(i % 4) + ": " + std::to_string(actual[i]) + " expected " +
                  std::to_string(c.expected[i]) + ";";
      }
    }
  }
  if (bad == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << bad << " bytes differ:" << report;
}

void CheckCases(const std::string& prefix_a, const std::string& prefix_b = "\x01") {
  std::string error;
  const auto& corpus = Corpus(error);
  if (corpus.empty()) GTEST_FAIL() << error;
  int checked = 0;
  for (const CorpusCase& c : corpus) {
    if (c.name.rfind(prefix_a, 0) != 0 && c.name.rfind(prefix_b, 0) != 0) {
      continue;
    }
    SCOPED_TRACE(c.name);
    ++checked;
    Bitmap32 bitmap;
    const auto loaded = bitmap.LoadFromFile(c.file.string(), c.wanted_width, c.wanted_height);
    ASSERT_TRUE(loaded) << ImageErrorText(loaded.error());
    ASSERT_EQ(bitmap.Width(), c.width);
    ASSERT_EQ(bitmap.Height(), c.height);
    ASSERT_EQ(std::size_t(bitmap.ScanWidth()) * bitmap.Height(), c.expected.size());
    EXPECT_EQ(bitmap.ImageType(), c.image_type);
    EXPECT_TRUE(SamePixels(c, bitmap.BitsPointer()));
    // Alpha is set exactly when the reference shows a pixel that is not opaque, except
    // where the format carries an alpha channel that happens to be all opaque.
    bool any_clear = false;
    for (std::size_t i = 3; i < c.expected.size(); i += 4) any_clear |= c.expected[i] != 255;
    if (any_clear) {
      EXPECT_TRUE(bitmap.Alpha());
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(DifferentialPng, EveryColourTypeDepthFilterAndInterlaceMatchesTheReference) { CheckCases("png_", "pil_"); }
TEST(DifferentialGif, FramesTransparencyAndInterlacingMatchTheReference) { CheckCases("gif_"); }
TEST(DifferentialBmp, EveryDepthAndRowOrderMatchesTheReference) { CheckCases("bmp_", "magick_BMP"); }
TEST(DifferentialIco, PngAndClassicEntriesMatchTheReference) { CheckCases("pil_ico", "magick_ico"); }
TEST(DifferentialIco, OwnEntriesOfEveryDepthAndCursors) { CheckCases("own_"); }

// Our own DEFLATE decoder gives the same pixels as the zlib library on every PNG.
TEST(DifferentialPng, OwnInflateGivesTheSamePixelsAsZlib) {
  std::string error;
  const auto& corpus = Corpus(error);
  if (corpus.empty()) GTEST_FAIL() << error;
  for (const CorpusCase& c : corpus) {
    if (c.file.extension() != ".png") continue;
    SCOPED_TRACE(c.name);
    const auto bytes = movarin::test::ReadBytes(c.file);
    const auto with_zlib = PngParser({.use_zlib_library = true}).Decode(bytes);
    const auto with_own = PngParser({.use_zlib_library = false}).Decode(bytes);
    ASSERT_TRUE(with_zlib && with_own);
    EXPECT_EQ(with_zlib->pixels, with_own->pixels);
  }
}

}  // namespace
}  // namespace movarin::imaging
