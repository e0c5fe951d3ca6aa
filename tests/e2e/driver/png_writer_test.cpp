// The screenshot encoder against an independent decoder: Debian's Python with PIL.
#include "tests/e2e/driver/png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace movarin::e2e {
namespace {

constexpr char kPython[] = "/usr/bin/python3";

// Decodes the file with PIL and returns "W H MODE" and the raw RGB bytes, or nullopt when
// PIL is missing or refuses the file.
struct Decoded {
  std::string summary;
  std::string pixels;
};

std::optional<Decoded> DecodeWithPil(const std::filesystem::path& png) {
  const std::string command = std::string(kPython) +
                              " -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                              "im.load(); sys.stdout.write('%d %d %s\\n' % (im.size[0], im.size[1], im.mode)); "
                              "sys.stdout.flush(); sys.stdout.buffer.write(im.convert('RGB').tobytes())\" '" +
                              png.string() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  if (pclose(pipe.release()) != 0) return std::nullopt;
  const auto newline = out.find('\n');
  if (newline == std::string::npos) return std::nullopt;
  return Decoded{out.substr(0, newline), out.substr(newline + 1)};
}

class PngWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no " << kPython;
    dir = std::filesystem::temp_directory_path() /
          ("png_writer_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  std::filesystem::path Write(const std::string& name, const std::string& bytes) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path dir;
};

TEST_F(PngWriter, PilDecodesExactlyThePixelsWritten) {
  struct Case {
    std::uint32_t width, height;
  };
  // One pixel, a single row and column, odd sizes and a screen-sized image.
  for (const Case c : {Case{1, 1}, Case{7, 1}, Case{1, 9}, Case{33, 17}, Case{640, 480}}) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(c.width) * c.height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
      rgb[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    }
    std::string error;
    const std::string png = EncodePng(c.width, c.height, rgb, &error);
    ASSERT_FALSE(png.empty()) << error;
    const auto decoded = DecodeWithPil(Write("image.png", png));
    ASSERT_TRUE(decoded) << "PIL refused the " << c.width << "x" << c.height << " image";
    EXPECT_EQ(decoded->summary,
              std::to_string(c.width) + " " + std::to_string(c.height) + " RGB");
    EXPECT_EQ(decoded->pixels, std::string(rgb.begin(), rgb.end()))
        << c.width << "x" << c.height;
  }
}

TEST_F(PngWriter, ACorruptedChecksumIsCaughtByTheDecoder) {
  // Proves the decoder really checks what we write: flip one byte inside IDAT's data.
  std::vector<std::uint8_t> rgb(16 * 16 * 3, 0x80);
  std::string png = EncodePng(16, 16, rgb);
  ASSERT_GT(png.size(), 60u);
  png[45] = static_cast<char>(png[45] ^ 0x01);
  EXPECT_FALSE(DecodeWithPil(Write("bad.png", png)));
}

TEST(PngWriterLimits, RefusesSizesAndBuffersThatDoNotFit) {
  std::vector<std::uint8_t> rgb(12);
  std::string error;
  EXPECT_EQ(EncodePng(0, 4, rgb, &error), "");
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(EncodePng(4, 0, rgb), "");
  EXPECT_NE(EncodePng(2, 2, rgb), "");  // 12 bytes are 4 pixels: 2x2 fits ...
  EXPECT_EQ(EncodePng(3, 2, rgb), "");  // ... 3x2 does not
  EXPECT_EQ(EncodePng(100000, 1, std::vector<std::uint8_t>(300000)), "");
  EXPECT_EQ(EncodePng(0xFFFFFFFFu, 0xFFFFFFFFu, rgb), "");
}

}  // namespace
}  // namespace movarin::e2e
