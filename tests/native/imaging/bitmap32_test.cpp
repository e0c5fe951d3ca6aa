// The image object: load rules, sizes, drawing decisions, saving, and the tool over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <unistd.h>

#include "imaging/bitmap32.h"
#include "imaging/image_type.h"
#include "imaging/render_plan.h"
#include "tests/native/imaging/image_corpus.h"
#include "tests/native/imaging/test_pictures.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tools/image/image_tool.h"

namespace movarin::imaging {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// A 1 x 1 GIF (red pixel), padded after its trailer to `size` bytes.
Bytes PaddedGif(std::size_t size) {
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 0,
               0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
  while (gif.size() < size) gif.push_back(0);
  return gif;
}

using movarin::test::TempFolder;

// Writes `content` as `name` into the folder; returns its path.
std::string PutFile(const TempFolder& dir, const std::string& name, const Bytes& content) {
  const std::string path = dir / name;
  movarin::test::WriteBytes(path, content);
  return path;
}

TEST(Bitmap32Load, FiftySixBytesFailAndFiftySevenAreExamined) {
  TempFolder dir;
  Bitmap32 bitmap;
  EXPECT_EQ(ErrorOf(bitmap.LoadFromFile(PutFile(dir, "56.gif", PaddedGif(56)))), ImageError::kFileTooShort);
  ASSERT_EQ(ErrorOf(bitmap.LoadFromFile(PutFile(dir, "57.gif", PaddedGif(57)))), std::nullopt);
  EXPECT_EQ(bitmap.ImageType(), kImageGif);
  EXPECT_EQ(bitmap.Width(), 1);
  EXPECT_FALSE(bitmap.LoadFromBytes(PaddedGif(56)));
  EXPECT_TRUE(bitmap.LoadFromBytes(PaddedGif(57)));
}

TEST(Bitmap32Load, FailureLeavesNoImageAndSaysWhy) {
  TempFolder dir;
  Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.LoadFromBytes(RgbaPng(4, 3)));
  EXPECT_EQ(ErrorOf(bitmap.LoadFromFile((dir / "absent.png"))), ImageError::kFileNotFound);
  EXPECT_FALSE(bitmap.HasImage());
  EXPECT_EQ(bitmap.BitsPointer(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  ASSERT_TRUE(bitmap.LoadFromBytes(RgbaPng(4, 3)));
  EXPECT_FALSE(bitmap.LoadFromFile(dir.path()));  // a folder
  EXPECT_FALSE(bitmap.HasImage());
  EXPECT_EQ(ErrorOf(bitmap.LoadFromBytes(Bytes(100, 0x42))), ImageError::kUnrecognised);
  Bytes broken = RgbaPng(4, 3);
  broken[40] ^= 0xFF;
  EXPECT_FALSE(bitmap.LoadFromBytes(broken));
  EXPECT_FALSE(bitmap.HasImage());
  for (ImageError e = ImageError::kNoImage; e != ImageError::kCount; e = ImageError(int(e) + 1)) {
    EXPECT_FALSE(ImageErrorText(e).empty());
    EXPECT_NE(ImageErrorText(e), "unknown error");
  }
}

// The platform's picture loader stands in as a reader that takes anything it is given.
class LoaderOfLastResort : public Bitmap32 {
 public:
  int asked = 0;
  bool accepts = true;

 protected:
  base::Result<DecodedImage, ImageError> DecodeOther(std::span<const std::uint8_t>) override {
    ++asked;
    if (!accepts) return ImageError::kUnrecognised;
    return AllocateImage(2, 5);
  }
};

TEST(Bitmap32Load, AGifThatDoesNotDecodeGoesOnThroughThePipeline) {
  Bytes broken = PaddedGif(80);
  broken[19] = 0x3B;  // the trailer where the image descriptor was: no frame
  LoaderOfLastResort bitmap;
  ASSERT_TRUE(bitmap.LoadFromBytes(PaddedGif(80))) << "a sound GIF is the GIF reader's";
  EXPECT_EQ(bitmap.asked, 0);

  ASSERT_TRUE(bitmap.LoadFromBytes(broken)) << "the loader of last resort was not asked";
  EXPECT_EQ(bitmap.asked, 1);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Height(), 5);

  // When nothing reads it, the GIF reader's reason is given, not "unrecognised".
  bitmap.accepts = false;
  const auto failed = bitmap.LoadFromBytes(broken);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error(), ImageError::kNoGifFrame);
  EXPECT_FALSE(bitmap.HasImage());
}

TEST(Bitmap32Load, ByteRangesAreClampedToTheData) {
  const Bytes png = RgbaPng(5, 2);
  Bytes padded(10, 0xEE);
  for (std::uint8_t b : png) padded.push_back(b);
  for (int i = 0; i < 7; ++i) padded.push_back(0xEE);
  Bitmap32 bitmap;
  EXPECT_EQ(ErrorOf(bitmap.LoadFromBytes({})), ImageError::kDataTooShort);
  EXPECT_TRUE(bitmap.LoadFromBytes(png, 0, 0, -5, 0));  // start raised to 0
  EXPECT_TRUE(bitmap.LoadFromBytes(padded, 0, 0, 10, 0, true));
  EXPECT_EQ(bitmap.SourceBytes().size(), png.size() + 7);
  EXPECT_TRUE(bitmap.LoadFromBytes(padded, 0, 0, 10, static_cast<std::int64_t>(png.size()), true));
  EXPECT_EQ(bitmap.SourceBytes(), png);
  EXPECT_TRUE(bitmap.LoadFromBytes(padded, 0, 0, 10, 1 << 30));  // cut at the end
  EXPECT_EQ(ErrorOf(bitmap.LoadFromBytes(padded, 0, 0, static_cast<std::int64_t>(padded.size()), 0)), ImageError::kBadRange);
  EXPECT_EQ(ErrorOf(bitmap.LoadFromBytes(padded, 0, 0, 10, 56)), ImageError::kFileTooShort);
  EXPECT_FALSE(bitmap.LoadFromBytes(padded, 0, 0, 10, -1));
  EXPECT_TRUE(bitmap.LoadFromBytes(png));
  EXPECT_TRUE(bitmap.SourceBytes().empty());
}

TEST(Bitmap32Load, KeepsTheFileBytesOnlyWhenAsked) {
  TempFolder dir;
  const Bytes png = RgbaPng(3, 3);
  const std::string file = PutFile(dir, "a.png", png);
  Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.LoadFromFile(file, 0, 0, true));
  EXPECT_EQ(bitmap.SourceBytes(), png);
  ASSERT_TRUE(bitmap.LoadFromFile(file));
  EXPECT_TRUE(bitmap.SourceBytes().empty());
}

struct ScaleCase {
  int image_w, image_h, dest_w, dest_h, mode, new_w, new_h;
};

TEST(Bitmap32, ScaleImageModes) {
  const ScaleCase cases[] = {
      {16, 16, 32, 32, 1, 16, 16}, {16, 16, 8, 10, 1, 8, 8},   {16, 16, 32, 32, 0, 32, 32},
      {16, 16, 40, 20, 0, 20, 20}, {16, 16, 40, 20, 1, 16, 16}, {30, 10, 15, 100, 1, 15, 5},
      {30, 10, 15, 100, 0, 15, 5}, {7, 3, 50, 60, 2, 50, 60},  {7, 3, 50, 60, 3, 7, 3},
      {7, 3, 50, 60, -1, 7, 3},    {3, 3, 10, 10, 0, 10, 10}, {3, 3, 10, 11, 1, 3, 3},
  };
  for (const ScaleCase& c : cases) {
    Bitmap32 bitmap;
    ASSERT_TRUE(bitmap.Create(c.image_w, c.image_h));
    int w = -1, h = -1;
    bitmap.ScaleImage(c.dest_w, c.dest_h, w, h, c.mode);
    EXPECT_EQ(w, c.new_w) << c.image_w << "x" << c.image_h << " into " << c.dest_w << "x" << c.dest_h << " mode " << c.mode;
    EXPECT_EQ(h, c.new_h) << c.image_w << "x" << c.image_h << " into " << c.dest_w << "x" << c.dest_h << " mode " << c.mode;
  }
  Bitmap32 empty;
  int w = -1, h = -1;
  empty.ScaleImage(10, 10, w, h, 0);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
}

struct PlanCase {
  int opacity, width, height;
  bool draw;
  int alpha, out_w, out_h;
};

TEST(RenderPlan, OpacityRules) {
  const PlanCase cases[] = {
      {100, 0, 0, true, 255, 8, 6}, {0, 0, 0, false, 255, 0, 0},  {50, 20, 30, true, 128, 20, 30},
      {150, -1, 5, true, 128, 8, 5}, {200, 0, 0, true, 255, 8, 6}, {-30, 0, 0, true, 77, 8, 6},
      {1, 0, 0, true, 3, 8, 6},      {99, 0, 0, true, 252, 8, 6},  {-100, 0, 0, true, 255, 8, 6},
      {std::numeric_limits<int>::min(), 0, 0, true, 122, 8, 6},
  };
  for (const PlanCase& c : cases) {
    const RenderPlan plan = PlanRender(true, true, 8, 6, c.width, c.height, c.opacity, true);
    EXPECT_TRUE(plan.result) << c.opacity;
    EXPECT_EQ(plan.draw, c.draw) << c.opacity;
    if (!c.draw) continue;
    EXPECT_EQ(plan.constant_alpha, c.alpha) << c.opacity;
    EXPECT_EQ(plan.width, c.out_w) << c.opacity;
    EXPECT_EQ(plan.height, c.out_h) << c.opacity;
    EXPECT_TRUE(plan.per_pixel_alpha);
  }
  EXPECT_FALSE(PlanRender(false, true, 0, 0, 0, 0, 100, false).result);
  EXPECT_FALSE(PlanRender(true, false, 8, 6, 0, 0, 100, false).result);
  EXPECT_FALSE(PlanRender(true, false, 8, 6, 0, 0, 0, false).result);
  EXPECT_FALSE(PlanRender(true, true, 8, 6, 0, 0, 100, false).per_pixel_alpha);
}

TEST(RenderPlan, MethodFromTheSystemVersion) {
  EXPECT_EQ(ChooseRenderMethod(1, 0, 950), RenderMethod::kStretchCopy);            // 95
  EXPECT_EQ(ChooseRenderMethod(1, 10, 1998), RenderMethod::kAlphaBlend);           // 98
  EXPECT_EQ(ChooseRenderMethod(1, 90, 3000), RenderMethod::kAlphaBlend);           // Me
  EXPECT_EQ(ChooseRenderMethod(1, 9, 3000), RenderMethod::kAlphaBlend);
  EXPECT_EQ(ChooseRenderMethod(2, 1, 7601), RenderMethod::kHalftoneAlphaBlend);    // 7
}

// A picture with every kind of pixel: opaque, clear, half transparent.
void Paint(Bitmap32& bitmap) {
  ASSERT_TRUE(bitmap.Create(5, 3));
  std::uint8_t* p = bitmap.BitsPointer();
  for (int i = 0; i < 15; ++i) {
    const std::uint8_t a = static_cast<std::uint8_t>(i * 18);
    p[4 * i] = a / 2, p[4 * i + 1] = a / 3, p[4 * i + 2] = a, p[4 * i + 3] = a;
  }
  bitmap.SetAlpha(true);
}

TEST(Bitmap32Save, StreamIsA32BitBmpThatLoadsBackUnchanged) {
  Bitmap32 bitmap;
  Paint(bitmap);
  const Bytes bmp = bitmap.SaveToStream();
  ASSERT_EQ(bmp.size(), 14u + 40u + 5 * 3 * 4);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[14], 40);  // info header size
  EXPECT_EQ(bmp[28], 32);  // bits per pixel
  Bitmap32 again;
  ASSERT_TRUE(again.LoadFromBytes(bmp));
  EXPECT_EQ(again.ImageType(), kImageBitmapPargb);
  EXPECT_TRUE(again.Alpha());
  EXPECT_EQ(Bytes(again.BitsPointer(), again.BitsPointer() + 60), Bytes(bitmap.BitsPointer(), bitmap.BitsPointer() + 60));
  EXPECT_TRUE(Bitmap32().SaveToStream().empty());
}

class DecliningBitmap : public Bitmap32 {
 public:
  int asked = 0;
  bool answer = false;

 protected:
  bool ConfirmOverwrite(const std::string&) override {
    ++asked;
    return answer;
  }
};

TEST(Bitmap32Save, AsksBeforeOverwritingAndNeverLeavesAPartialFile) {
  TempFolder dir;
  DecliningBitmap bitmap;
  EXPECT_EQ(ErrorOf(bitmap.SaveToFile((dir / "none.bmp"), false)), ImageError::kNoImage);
  Paint(bitmap);
  const std::string target = PutFile(dir, "out.bmp", Bytes{'o', 'l', 'd'});
  EXPECT_FALSE(bitmap.SaveToFile(target, true));
  EXPECT_EQ(bitmap.asked, 1);
  EXPECT_EQ(movarin::test::ReadBytes(target), (Bytes{'o', 'l', 'd'}));
  bitmap.answer = true;
  fs::permissions(target, fs::perms::owner_read, fs::perm_options::replace);  // read-only is replaced too
  EXPECT_TRUE(bitmap.SaveToFile(target, true));
  EXPECT_EQ(movarin::test::ReadBytes(target), bitmap.SaveToStream());
  EXPECT_TRUE(bitmap.SaveToFile(target, false));
  EXPECT_EQ(bitmap.asked, 2);
  const std::string fresh = (dir / "fresh.bmp");
  EXPECT_TRUE(bitmap.SaveToFile(fresh, true));  // nothing to overwrite: no question
  EXPECT_EQ(bitmap.asked, 2);
  // An unwritable folder: False, and nothing left behind.
  const fs::path locked = dir / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  if (::access(locked.c_str(), W_OK) != 0) {  // root may write anyway
    EXPECT_EQ(ErrorOf(bitmap.SaveToFile((locked / "x.bmp").string(), false)), ImageError::kFileWriteFailed);
  }
  // Nothing but the saved files: no temporary file stays behind.
  EXPECT_EQ(movarin::test::FolderEntries(dir.path()),
            (std::vector<std::string>{"fresh.bmp", "locked", "out.bmp"}));
  EXPECT_TRUE(movarin::test::FolderEntries(locked.string()).empty());
}

TEST(Bitmap32, CreateCopyAndLimits) {
  Bitmap32 bitmap;
  Paint(bitmap);
  bitmap.SetImageType(kImagePng);
  EXPECT_EQ(bitmap.ScanWidth(), 20);
  Bitmap32 copy;
  ASSERT_TRUE(bitmap.CopyTo(copy, false));
  EXPECT_EQ(copy.Width(), 5);
  EXPECT_EQ(copy.ImageType(), kImagePng);
  EXPECT_TRUE(copy.Alpha());
  EXPECT_EQ(Bytes(copy.BitsPointer(), copy.BitsPointer() + 60), Bytes(bitmap.BitsPointer(), bitmap.BitsPointer() + 60));
  EXPECT_FALSE(Bitmap32().CopyTo(copy, false));
  EXPECT_FALSE(copy.HasImage());
  EXPECT_FALSE(bitmap.Create(0, 5));
  EXPECT_FALSE(bitmap.Create(5000, 5000));
  EXPECT_FALSE(bitmap.HasImage());
  ASSERT_TRUE(bitmap.Create(2, 2));
  EXPECT_EQ(Bytes(bitmap.BitsPointer(), bitmap.BitsPointer() + 16), Bytes(16, 0));
  bitmap.Destroy();
  EXPECT_FALSE(bitmap.HasImage());
}

TEST(ImageTool, InfoAndToBmp) {
  TempFolder dir;
  const std::string png = PutFile(dir, "a.png", RgbaPng(7, 4));
  Bitmap32 bitmap;
  std::ostringstream out, err;
  EXPECT_EQ(tools::RunImageTool({"info", png}, bitmap, out, err), 0);
  EXPECT_EQ(out.str(), "Width: 7\nHeight: 4\nAlpha: True\nImageType: 10\n");
  const std::string bmp = (dir / "a.bmp");
  EXPECT_EQ(tools::RunImageTool({"to-bmp", png, bmp}, bitmap, out, err), 0);
  Bitmap32 back;
  ASSERT_TRUE(back.LoadFromFile(bmp));
  EXPECT_EQ(back.Width(), 7);
  EXPECT_EQ(tools::RunImageTool({"info", (dir / "none")}, bitmap, out, err), 1);
  EXPECT_NE(err.str().find("the file does not exist"), std::string::npos);
  EXPECT_EQ(tools::RunImageTool({"resize"}, bitmap, out, err), 2);
}

}  // namespace
}  // namespace movarin::imaging
