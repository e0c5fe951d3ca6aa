// The skinned controls drawn through GDI into a 32-bit DIB, checked at the same pixels
// as the software canvas natively: where the rules fix a pixel, GDI and the portable
// canvas must agree exactly.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"
#include "skin/block_progress_bar.h"
#include "skin/styled_button.h"
#include "skin/win32/gdi_canvas.h"
#include "skin/window_skin.h"
#include "skin/window_skin_design.h"
#include "tests/wine/skin/surface_pixels.h"

namespace movarin::skin {
namespace {

using namespace testing;
using win32::GdiCanvas;
using win32::OffscreenSurface;

constexpr int kDpi = 96;

// The expected pixels assume a caption line of 19 pixels; the shared look's Tahoma
// 12 pt bold may measure otherwise here, so the test picks the bold Tahoma size whose
// line GDI itself measures at 19 (the caption's font is the one thing that varies).
std::optional<Font> CaptionFontOfNineteenPixels() {
  movarin::win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  for (int hundredths = 800; hundredths <= 1600; hundredths += 25) {
    const Font font{"Tahoma", hundredths, true, false};
    movarin::win32::UniqueGdiObject handle(win32::CreateSkinFont(font, kDpi));
    movarin::win32::SelectObjectScope select(dc.get(), handle.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    if (tm.tmHeight == kSkinLineHeight) return font;
  }
  return std::nullopt;
}

class SkinGdi : public ::testing::Test {
 protected:
  void DrawSkin() {
    const auto font = CaptionFontOfNineteenPixels();
    ASSERT_TRUE(font) << "no Tahoma size measures a 19-pixel line";
    PropertyBag design = WindowSkinDesign({.title = "Movarin"});
    design.Put("Font", FormatFont(*font));
    skin.SetProperties(LoadWindowSkin(design, {.background = kSkinSurface}));
    ASSERT_TRUE(surface.Resize(kSkinWidth, kSkinHeight));
    GdiCanvas canvas(surface.dc(), kSkinWidth, kSkinHeight, kDpi);
    skin.Redraw(canvas);
    ASSERT_EQ(skin.Geometry().caption_height, 29);
  }
  WindowSkin skin;
  OffscreenSurface surface;
};

TEST_F(SkinGdi, BorderCaptionBodyAndButtons) {
  DrawSkin();
  ExpectSurfacePixels(surface, kSkinBorder);
  ExpectSurfacePixels(surface, kSkinCaption);
  ExpectSurfacePixels(surface, kSkinBody);
  ExpectSurfacePixels(surface, kSkinButtonsNormal);
}

TEST_F(SkinGdi, CloseButtonLitAndNormalAgain) {
  DrawSkin();
  GdiCanvas canvas(surface.dc(), kSkinWidth, kSkinHeight, kDpi);
  ASSERT_TRUE(skin.TrackHover(true, {kCloseX + 8, kButtonTop + 8}));
  skin.PaintButtons(canvas);
  ExpectSurfacePixels(surface, kSkinCloseLit);
  ASSERT_TRUE(skin.TrackHover(true, {20, 60}));
  skin.PaintButtons(canvas);
  ExpectSurfacePixels(surface, kSkinButtonsNormal);
}

struct ButtonHost : StyledButtonHost {};

TEST(ButtonGdi, Theme4BaseAndHovered) {
  ButtonHost host;
  StyledButton button(host, "", Font{});
  button.SetTheme(4);
  OffscreenSurface surface;
  ASSERT_TRUE(surface.Resize(kButtonWidth, kButtonHeight));
  {
    GdiCanvas canvas(surface.dc(), kButtonWidth, kButtonHeight, kDpi);
    button.Draw(canvas);
  }
  ExpectSurfacePixels(surface, kButtonBase);
  button.OnMouseTimer(true, {});
  {
    GdiCanvas canvas(surface.dc(), kButtonWidth, kButtonHeight, kDpi);
    button.Draw(canvas);
  }
  ExpectSurfacePixels(surface, kButtonHovered);
}

TEST(ProgressBarGdi, BlockEdgesForTheValuesTheWindowsShow) {
  for (const BarCase& c : kBarEdges) {
    SCOPED_TRACE(::testing::Message() << "width " << c.width << ", value " << c.value);
    OffscreenSurface surface;
    ASSERT_TRUE(surface.Resize(c.width, kBarHeight));
    BlockProgressBarProperties p;
    p.value = c.value;
    GdiCanvas canvas(surface.dc(), c.width, kBarHeight, kDpi);
    DrawBlockProgressBar(canvas, p);
    ExpectSurfacePixels(surface, c.pixels);
  }
}

}  // namespace
}  // namespace movarin::skin
