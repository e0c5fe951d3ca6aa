// Bitmap32 on real GDI under Wine: drawing onto a known background, the own DC, GDI
// handles and pictures, the system picture loader and the overwrite question.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "imaging/image_type.h"
#include "imaging/win32/bitmap32.h"
#include "platform/win32/dib.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::imaging::win32 {
namespace {

using movarin::win32::SelectObjectScope;
using movarin::win32::UniqueGdiObject;
using movarin::win32::UniqueMemoryDc;

constexpr std::uint8_t kBackground[4] = {0x20, 0x40, 0x80, 0xFF};  // B, G, R, A

// A 32-bit memory canvas filled with the background.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = movarin::win32::TopDown32BitInfo(w, h);
    void* bits = nullptr;
    dib_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint8_t*>(bits);
    previous_ = SelectObject(dc_.get(), dib_.get());
    for (int i = 0; i < w * h; ++i) std::memcpy(bits_ + 4 * i, kBackground, 4);
  }
  ~Canvas() { SelectObject(dc_.get(), previous_); }
  HDC dc() const { return dc_.get(); }
  const std::uint8_t* Pixel(int x, int y) {
    GdiFlush();
    return bits_ + 4 * (y * w_ + x);
  }

 private:
  int w_, h_;
  UniqueMemoryDc dc_;
  UniqueGdiObject dib_;
  std::uint8_t* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// 4 x 2: top row opaque colours, bottom row premultiplied alpha 0, 64, 128, 255.
void Paint(Bitmap32& bitmap, bool alpha) {
  ASSERT_TRUE(bitmap.Create(4, 2));
  std::uint8_t* p = bitmap.BitsPointer();
  const std::uint8_t top[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};
  std::memcpy(p, top, 16);
  const std::uint8_t alphas[4] = {0, 64, 128, 255};
  for (int x = 0; x < 4; ++x) {
    const std::uint8_t a = alpha ? alphas[x] : 255;
    std::uint8_t* px = p + 16 + 4 * x;
    px[0] = static_cast<std::uint8_t>(200 * a / 255), px[1] = static_cast<std::uint8_t>(100 * a / 255), px[2] = 0, px[3] = a;
  }
  bitmap.SetAlpha(alpha);
}

void ExpectNear(const std::uint8_t* actual, const int expected[3], const char* what) {
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 2) << what << " channel " << c;
}

TEST(Render, OpacityHundredIsOpaqueAndZeroDrawsNothing) {
  Bitmap32 bitmap;
  Paint(bitmap, false);
  Canvas canvas(8, 4);
  EXPECT_TRUE(bitmap.Render(canvas.dc(), 0, 0, 0, 0, 100));
  const int blue[3] = {255, 0, 0}, dark[3] = {10, 20, 30}, fill[3] = {200, 100, 0};
  ExpectNear(canvas.Pixel(0, 0), blue, "opaque blue");
  ExpectNear(canvas.Pixel(3, 0), dark, "opaque dark");
  ExpectNear(canvas.Pixel(1, 1), fill, "opaque fill");
  const int bg[3] = {kBackground[0], kBackground[1], kBackground[2]};
  ExpectNear(canvas.Pixel(5, 0), bg, "outside");  // nothing drawn beyond the image
  Canvas untouched(8, 4);
  EXPECT_TRUE(bitmap.Render(untouched.dc(), 0, 0, 0, 0, 0));
  ExpectNear(untouched.Pixel(0, 0), bg, "opacity 0");
  EXPECT_FALSE(bitmap.Render(nullptr, 0, 0));
  EXPECT_FALSE(Bitmap32().Render(canvas.dc(), 0, 0));
}

TEST(Render, OpacityFiftyBlendsHalfWithTheBackground) {
  Bitmap32 bitmap;
  Paint(bitmap, false);
  for (int opacity : {50, 150, -50}) {
    Canvas canvas(4, 2);
    EXPECT_TRUE(bitmap.Render(canvas.dc(), 0, 0, 0, 0, opacity));
    // constant alpha 128: src * 128/255 + dst * 127/255
    const int expected[3] = {(255 * 128 + kBackground[0] * 127) / 255, (0 * 128 + kBackground[1] * 127) / 255,
                             (0 * 128 + kBackground[2] * 127) / 255};
    ExpectNear(canvas.Pixel(0, 0), expected, "half blue");
  }
}

TEST(Render, TheOldestSystemsCopyWithoutBlending) {
  Bitmap32 bitmap;
  Paint(bitmap, true);
  EXPECT_EQ(bitmap.Method(), RenderMethod::kHalftoneAlphaBlend);  // Wine reports an NT system
  bitmap.SetMethod(RenderMethod::kStretchCopy);
  Canvas canvas(4, 2);
  EXPECT_TRUE(bitmap.Render(canvas.dc(), 0, 0, 0, 0, 50));
  const int blue[3] = {255, 0, 0}, clear[3] = {0, 0, 0};
  ExpectNear(canvas.Pixel(0, 0), blue, "copied, not blended");
  ExpectNear(canvas.Pixel(0, 1), clear, "alpha 0 copied as black");
}

TEST(Render, PerPixelAlphaOverTheBackground) {
  Bitmap32 bitmap;
  Paint(bitmap, true);
  Canvas canvas(4, 2);
  EXPECT_TRUE(bitmap.Render(canvas.dc(), 0, 0));
  const int alphas[4] = {0, 64, 128, 255};
  for (int x = 0; x < 4; ++x) {
    const std::uint8_t* src = bitmap.BitsPointer() + 16 + 4 * x;
    int expected[3];
    for (int c = 0; c < 3; ++c) expected[c] = src[c] + kBackground[c] * (255 - alphas[x]) / 255;
    ExpectNear(canvas.Pixel(x, 1), expected, ("alpha " + std::to_string(alphas[x])).c_str());
  }
  // The same through the object's own DC, and stretched to twice the size.
  ASSERT_TRUE(bitmap.SelectIntoDC(true));
  ASSERT_NE(bitmap.OwnDC(), nullptr);
  Canvas big(8, 4);
  EXPECT_TRUE(bitmap.Render(big.dc(), 0, 0, 8, 4, 100));
  const int bg[3] = {kBackground[0], kBackground[1], kBackground[2]};
  ExpectNear(big.Pixel(0, 3), bg, "clear corner stretched");
  const int blue[3] = {255, 0, 0};
  ExpectNear(big.Pixel(0, 0), blue, "blue corner stretched");
  bitmap.SelectIntoDC(false);
  EXPECT_EQ(bitmap.OwnDC(), nullptr);
}

TEST(Handles, BitmapAndIconHandlesLoad) {
  // A 32-bit DIB with straight alpha: the alpha analysis premultiplies it.
  Bitmap32 source;
  Paint(source, true);
  source.BitsPointer()[16 + 4 + 0] = 200;  // colour above its alpha: straight
  Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.LoadFromHandle(source.Handle()));
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.ImageType(), kImageBitmapArgb);
  EXPECT_TRUE(bitmap.Alpha());
  EXPECT_EQ(bitmap.BitsPointer()[16 + 4 + 0], (200 * 64 + 127) / 255);

  // An icon with an AND mask: left half transparent.
  const BYTE and_bits[] = {0xF0, 0, 0, 0, 0xF0, 0, 0, 0, 0xF0, 0, 0, 0, 0xF0, 0, 0, 0,
                           0xF0, 0, 0, 0, 0xF0, 0, 0, 0, 0xF0, 0, 0, 0, 0xF0, 0, 0, 0};
  const BYTE xor_bits[32] = {};
  HICON icon = CreateIcon(nullptr, 8, 8, 1, 1, and_bits, xor_bits);
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(bitmap.LoadFromHandle(icon));
  EXPECT_EQ(bitmap.ImageType(), kImageIcon);
  EXPECT_EQ(bitmap.Width(), 8);
  EXPECT_EQ(bitmap.Height(), 8);
  EXPECT_EQ(bitmap.BitsPointer()[3], 0);        // (0, 0) clear
  EXPECT_EQ(bitmap.BitsPointer()[4 * 7 + 3], 255);  // (7, 0) opaque
  DestroyIcon(icon);

  // The same through a picture object.
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = source.Handle();
  IPicture* picture = nullptr;
  ASSERT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, FALSE, reinterpret_cast<void**>(&picture)), S_OK);
  EXPECT_TRUE(bitmap.LoadFromPicture(picture));
  EXPECT_EQ(bitmap.Width(), 4);
  picture->Release();
  EXPECT_FALSE(bitmap.LoadFromPicture(nullptr));
  EXPECT_FALSE(bitmap.HasImage());
}

TEST(Resources, RawBytesBitmapsAndIcons) {
  Bitmap32 bitmap;
  // Raw bytes (an RCDATA resource of this program) go through the byte pipeline.
  const auto loaded = bitmap.LoadFromResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), RT_RCDATA, 0, 0, true);
  ASSERT_TRUE(loaded) << ImageErrorText(loaded.error());
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.ImageType(), kImageBitmap);
  EXPECT_EQ(bitmap.SourceBytes().size(), 78u);
  EXPECT_EQ(bitmap.BitsPointer()[0], 10);  // top-left: the second stored row
  EXPECT_FALSE(bitmap.LoadFromResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(999), RT_RCDATA));
  EXPECT_FALSE(bitmap.HasImage());
  // The system's own bitmap and icon resources come through their handles.
  ASSERT_TRUE(bitmap.LoadFromResource(nullptr, MAKEINTRESOURCEW(32754 /* OBM_CLOSE */), RT_BITMAP));
  EXPECT_GT(bitmap.Width(), 0);
  ASSERT_TRUE(bitmap.LoadFromResource(nullptr, IDI_APPLICATION, RT_GROUP_ICON, 32, 32));
  EXPECT_EQ(bitmap.Width(), 32);
  EXPECT_TRUE(bitmap.ImageType() == kImageIcon || bitmap.ImageType() == kImageIconArgb);
}

TEST(SystemPictureLoader, ReadsWhatOurParsersDoNot) {
  // An enhanced metafile: no parser of ours reads it.
  HDC meta = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(meta, nullptr);
  RECT r{0, 0, 40, 30};
  FillRect(meta, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HENHMETAFILE emf = CloseEnhMetaFile(meta);
  const UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
  std::vector<std::uint8_t> bytes(size);
  GetEnhMetaFileBits(emf, size, bytes.data());
  DeleteEnhMetaFile(emf);
  Bitmap32 bitmap;
  const auto from_bytes = bitmap.LoadFromBytes(bytes);
  ASSERT_TRUE(from_bytes) << ImageErrorText(from_bytes.error());
  EXPECT_EQ(bitmap.ImageType(), kImageEnhMetafile);
  EXPECT_GT(bitmap.Width(), 0);
  EXPECT_FALSE(bitmap.Alpha());
  // Garbage stays a failure.
  EXPECT_FALSE(bitmap.LoadFromBytes(std::vector<std::uint8_t>(100, 0x42)));
  EXPECT_FALSE(bitmap.HasImage());
}

// Answers the overwrite question with `button` once it appears; records the default.
class QuestionAnswerer {
 public:
  explicit QuestionAnswerer(int button) : thread_([this, button] {
    for (int i = 0; i < 200 && !stop_; ++i) {
      HWND box = FindWindowW(L"#32770", L"Overwrite Confirmation");
      if (box) {
        // The preselected button is the one that has the focus.
        Sleep(100);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus) {
          default_button_ = GetDlgCtrlID(info.hwndFocus);
        }
        PostMessageW(box, WM_COMMAND, button, 0);
        seen_ = true;
        return;
      }
      Sleep(25);
    }
  }) {}
  ~QuestionAnswerer() {
    stop_ = true;
    thread_.join();
  }
  bool seen() const { return seen_; }
  int default_button() const { return default_button_; }

 private:
  std::atomic<bool> stop_{false}, seen_{false};
  std::atomic<int> default_button_{0};
  std::thread thread_;
};

TEST(SaveToFile, AsksBeforeOverwritingWithNoPreselected) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "movarin-imaging-wine";
  std::filesystem::create_directories(dir);
  const std::filesystem::path target = dir / "out.bmp";
  std::ofstream(target) << "old";
  SetFileAttributesW(target.wstring().c_str(), FILE_ATTRIBUTE_READONLY);
  Bitmap32 bitmap;
  Paint(bitmap, true);
  {
    QuestionAnswerer answer(IDNO);
    EXPECT_FALSE(bitmap.SaveToFile(movarin::win32::Narrow(target.wstring()), true));
    EXPECT_TRUE(answer.seen());
    EXPECT_EQ(answer.default_button(), IDNO);
  }
  EXPECT_EQ(std::filesystem::file_size(target), 3u);
  {
    QuestionAnswerer answer(IDYES);
    EXPECT_TRUE(bitmap.SaveToFile(movarin::win32::Narrow(target.wstring()), true));
    EXPECT_TRUE(answer.seen());
  }
  EXPECT_EQ(std::filesystem::file_size(target), bitmap.SaveToStream().size());
  Bitmap32 again;
  ASSERT_TRUE(again.LoadFromFile(movarin::win32::Narrow(target.wstring())));
  EXPECT_EQ(std::memcmp(again.BitsPointer(), bitmap.BitsPointer(), 32), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace movarin::imaging::win32
