// The page view in a window of its own, against the test server: the sponsor page with
// its picture and links, the error page, scrolling, clicks, right clicks and focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "pageview/win32/page_view.h"
#include "platform/win32/handles.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/window.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/text.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::pageview {
namespace {

using movarin::test::ControlServer;
using movarin::test::ResetServer;
using movarin::test::UrlEncode;
using win32::PageView;

// The window the view lives in, recording what the view tells it.
class HostWindow final : public movarin::win32::Window, public win32::PageViewHost {
 public:
  std::vector<std::string> addresses;
  int documents_complete = 0;
  int deactivations = 0;
  int context_menus = 0;
  std::vector<std::string> opened;
  PageView view;
  HWND button = nullptr;

  bool Open() {
    movarin::win32::WindowArgs args;
    args.class_name = L"MovarinPageViewTestHost";
    args.title = L"Page view";
    args.client_width = 510;
    args.client_height = 380;
    args.x = 40;
    args.y = 40;
    if (!Create(args)) return false;
    win32::PageViewArgs view_args;
    view_args.parent = hwnd();
    view_args.x = 10;
    view_args.y = 10;
    view_args.host = this;
    view_args.open_link = [this](const std::string& address) { opened.push_back(address); };
    if (!view.Create(view_args)) return false;
    button = CreateWindowExW(0, L"BUTTON", L"Refresh", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 345, 80, 26,
                             hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    Show();
    return button != nullptr;
  }

  void PageAddressChanged(const std::string& address) override { addresses.push_back(address); }
  void PageDocumentComplete() override { ++documents_complete; }
  void PageDeactivated() override { ++deactivations; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_CONTEXTMENU) ++context_menus;
    return Window::HandleMessage(msg, wp, lp);
  }
};

// Processes messages until the condition holds (or 20 seconds pass).
bool PumpUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    movarin::win32::ProcessPendingMessages();
  }
  return true;
}

const DisplayItem* FindText(const DisplayList& list, const std::string& text) {
  for (const DisplayItem& item : list.items) {
    if (item.kind == DisplayItem::Kind::kText && item.text.find(text) != std::string::npos) return &item;
  }
  return nullptr;
}

// The view's pixels, as it paints itself.
class Capture {
 public:
  explicit Capture(PageView& view) {
    RECT client{};
    GetClientRect(view.hwnd(), &client);
    width_ = client.right;
    height_ = client.bottom;
    HDC screen = GetDC(nullptr);
    dc_.reset(CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ReleaseDC(nullptr, screen);
    bits_ = static_cast<const std::uint8_t*>(bits);
    movarin::win32::SelectObjectScope select(dc_.get(), bitmap_.get());
    SendMessageW(view.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT);
    GdiFlush();
  }
  COLORREF At(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint8_t* p = bits_ + (static_cast<std::size_t>(y) * width_ + x) * 4;
    return RGB(p[2], p[1], p[0]);
  }

 private:
  int width_ = 0, height_ = 0;
  movarin::win32::UniqueMemoryDc dc_;
  movarin::win32::UniqueGdiObject bitmap_;
  const std::uint8_t* bits_ = nullptr;
};

bool Near(COLORREF colour, int r, int g, int b) {
  return std::abs(GetRValue(colour) - r) <= 8 && std::abs(GetGValue(colour) - g) <= 8 && std::abs(GetBValue(colour) - b) <= 8;
}

void Click(HWND view, const DisplayItem& item, int scroll) {
  const LPARAM at = MAKELPARAM(item.box.x + item.box.width / 2, item.box.y - scroll + item.box.height / 2);
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(view, WM_LBUTTONUP, 0, at);
}

class PageViewAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = test::TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    ASSERT_TRUE(ResetServer());
    ASSERT_TRUE(host.Open());
  }

  void Show(const std::string& url) {
    const int before = host.documents_complete;
    host.view.Navigate(url);
    ASSERT_TRUE(PumpUntil([&] { return host.documents_complete > before; })) << url;
  }

  std::string server;
  HostWindow host;
};

TEST_F(PageViewAgainstServer, ShowsTheSponsorPageWithItsPicture) {
  const std::string page = server + "Ads2.htm";
  Show(page);
  EXPECT_EQ(host.view.CurrentAddress(), page);
  EXPECT_EQ(host.addresses, std::vector<std::string>{page});
  const DisplayList& list = host.view.Display();

  const DisplayItem* heading = FindText(list, "Our sponsors");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->style.heading, 2);
  const DisplayItem* bold = FindText(list, "Movarin");
  ASSERT_NE(bold, nullptr);
  EXPECT_TRUE(bold->style.bold);
  EXPECT_EQ(list.links, (std::vector<std::string>{"sponsor.htm", "sponsor.htm", "http://sponsor2.movarin.invalid/"}));

  // The picture arrived, decoded by our own loader, and is drawn at its written size.
  EXPECT_TRUE(host.view.PictureLoaded("sponsor.png"));
  const DisplayItem* picture = nullptr;
  for (const DisplayItem& item : list.items) {
    if (item.kind == DisplayItem::Kind::kPicture) picture = &item;
  }
  ASSERT_NE(picture, nullptr);
  const int dpi = movarin::win32::ScreenDpi();
  EXPECT_EQ(picture->box.width, MulDiv(120, dpi, 96));
  EXPECT_EQ(picture->box.height, MulDiv(60, dpi, 96));
  EXPECT_EQ(picture->link, 0);
  // Centred: as much room on its left as on its right.
  RECT client{};
  GetClientRect(host.view.hwnd(), &client);
  EXPECT_NEAR(picture->box.x, (client.right - picture->box.width) / 2, 2);

  // Its pixels: the yellow disc, the gradient, and the paper through a clear corner.
  const Capture pixels(host.view);
  const int x = picture->box.x, y = picture->box.y;
  const auto scale = [dpi](int v) { return MulDiv(v, dpi, 96); };
  EXPECT_TRUE(Near(pixels.At(x + scale(30), y + scale(30)), 250, 210, 20));
  EXPECT_TRUE(Near(pixels.At(x + scale(100), y + scale(30)), 20, 181, 119));
  EXPECT_TRUE(Near(pixels.At(x, y), 255, 255, 255));
  // Text is drawn: the heading's box holds dark pixels.
  int dark = 0;
  for (int px = heading->box.x; px < heading->box.x + heading->box.width; ++px) {
    for (int py = heading->box.y; py < heading->box.y + heading->box.height; ++py) {
      const COLORREF c = pixels.At(px, py);
      if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) ++dark;
    }
  }
  EXPECT_GT(dark, 20);

  std::string error;
  const auto shot = e2e::SaveWindowScreenshot(host.hwnd(), "pageview-sponsor-page", &error);
  EXPECT_TRUE(shot.has_value()) << error;
}

TEST_F(PageViewAgainstServer, AClickedLinkBecomesTheCurrentAddressAndOpensOutside) {
  const std::string page = server + "Ads2.htm";
  Show(page);
  const DisplayItem* link = FindText(host.view.Display(), "Visit our sponsor");
  ASSERT_NE(link, nullptr);
  Click(host.view.hwnd(), *link, host.view.ScrollPosition());
  const std::string sponsor = server + "sponsor.htm";
  EXPECT_EQ(host.opened, std::vector<std::string>{sponsor});
  EXPECT_EQ(host.view.CurrentAddress(), sponsor);
  EXPECT_EQ(host.addresses.back(), sponsor);
  // The view keeps showing its page.
  EXPECT_NE(FindText(host.view.Display(), "Visit our sponsor"), nullptr);

  // Pressing on one place and letting go on another is no click.
  host.opened.clear();
  const DisplayItem* heading = FindText(host.view.Display(), "Our sponsors");
  ASSERT_NE(heading, nullptr);
  SendMessageW(host.view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(link->box.x + 2, link->box.y + 2 - host.view.ScrollPosition()));
  SendMessageW(host.view.hwnd(), WM_LBUTTONUP, 0,
               MAKELPARAM(heading->box.x + 2, heading->box.y + 2 - host.view.ScrollPosition()));
  EXPECT_TRUE(host.opened.empty());
}

TEST_F(PageViewAgainstServer, LinksThatAreNeverFollowed) {
  ASSERT_TRUE(ControlServer("set?path=/unsafe.htm&body=" +
                            UrlEncode("<a href=\"javascript:alert(1)\">script</a> "
                                      "<a href=\"file:///C:/windows/notepad.exe\">program</a> "
                                      "<a href=\"ms-settings:privacy\">settings</a>")));
  const std::string page = server + "unsafe.htm";
  Show(page);
  for (const char* text : {"script", "program", "settings"}) {
    const DisplayItem* link = FindText(host.view.Display(), text);
    ASSERT_NE(link, nullptr) << text;
    Click(host.view.hwnd(), *link, host.view.ScrollPosition());
  }
  EXPECT_TRUE(host.opened.empty());
  EXPECT_EQ(host.view.CurrentAddress(), page);
}

TEST_F(PageViewAgainstServer, APageThatCannotBeFetchedShowsTheErrorPage) {
  struct Case {
    std::string url;
    std::string control;
  };
  const Case cases[] = {
      {server + "missing.htm", ""},
      {server + "Ads2.htm", "set?path=/Ads2.htm&mode=status&status=" + UrlEncode("500 Internal Server Error")},
      {server + "Ads2.htm", "set?path=/Ads2.htm&mode=close"},
      {"http://127.0.0.1:9/Ads2.htm", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(ResetServer());
    if (!c.control.empty()) {
      ASSERT_TRUE(ControlServer(c.control));
    }
    Show(c.url);
    EXPECT_EQ(host.view.CurrentAddress(), kErrorPageAddress) << c.url;
    EXPECT_NE(host.view.CurrentAddress(), c.url);
    EXPECT_NE(FindText(host.view.Display(), "This page cannot be displayed"), nullptr) << c.url;
    EXPECT_EQ(host.addresses.back(), kErrorPageAddress);
  }
  // Refresh tries the page that failed again, which now arrives.
  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/Ads2.htm&mode=status&times=1&status=" + UrlEncode("503 Busy")));
  Show(server + "Ads2.htm");
  EXPECT_EQ(host.view.CurrentAddress(), kErrorPageAddress);
  std::string error;
  EXPECT_TRUE(e2e::SaveWindowScreenshot(host.hwnd(), "pageview-error-page", &error)) << error;
  const int before = host.documents_complete;
  host.view.Refresh();
  ASSERT_TRUE(PumpUntil([&] { return host.documents_complete > before; }));
  EXPECT_EQ(host.view.CurrentAddress(), server + "Ads2.htm");
  EXPECT_NE(FindText(host.view.Display(), "Our sponsors"), nullptr);
}

TEST_F(PageViewAgainstServer, ATallPageScrolls) {
  std::string tall;
  for (int i = 0; i < 60; ++i) tall += "<p>Paragraph " + std::to_string(i) + "</p>";
  ASSERT_TRUE(ControlServer("set?path=/tall.htm&body=" + UrlEncode(tall)));
  Show(server + "tall.htm");
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(host.view.hwnd(), SB_VERT, &info));
  EXPECT_EQ(info.nMax + 1, host.view.Display().height);
  EXPECT_LT(static_cast<int>(info.nPage), host.view.Display().height);
  EXPECT_NE(GetWindowLongW(host.view.hwnd(), GWL_STYLE) & WS_VSCROLL, 0);

  SendMessageW(host.view.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(host.view.ScrollPosition(), static_cast<int>(info.nPage));
  SendMessageW(host.view.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(host.view.ScrollPosition(), host.view.Display().height - static_cast<int>(info.nPage));
  SendMessageW(host.view.hwnd(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(host.view.ScrollPosition(), 0);

  // A short page needs no scroll bar.
  Show(server + "Ads2.htm");
  EXPECT_EQ(GetWindowLongW(host.view.hwnd(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(host.view.ScrollPosition(), 0);
}

TEST_F(PageViewAgainstServer, NoMenuOnRightClickAndFocusLossIsReported) {
  Show(server + "Ads2.htm");
  const LPARAM at = MAKELPARAM(20, 20);
  SendMessageW(host.view.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(host.view.hwnd(), WM_RBUTTONUP, 0, at);
  POINT screen{20, 20};
  ClientToScreen(host.view.hwnd(), &screen);
  SendMessageW(host.view.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host.view.hwnd()),
               MAKELPARAM(screen.x, screen.y));
  movarin::win32::ProcessPendingMessages();
  EXPECT_EQ(host.context_menus, 0);

  // The right click took the focus; giving it to the button deactivates the page.
  EXPECT_EQ(GetFocus(), host.view.hwnd());
  const int before = host.deactivations;
  SetFocus(host.button);
  EXPECT_EQ(host.deactivations, before + 1);
}

TEST_F(PageViewAgainstServer, TheKeyboardReachesTheLinks) {
  const std::string page = server + "Ads2.htm";
  Show(page);
  HWND view = host.view.hwnd();
  // What another process can ask: the address as the window text, the links' count.
  EXPECT_EQ(e2e::GetText(view), page);
  EXPECT_EQ(SendMessageW(view, win32::kPageViewLinkCountMessage, 0, 0), 3);
  EXPECT_EQ(SendMessageW(view, win32::kPageViewFocusedLinkMessage, 0, 0), -1);
  SetFocus(view);

  // Tab goes from link to link as the dialog navigation of the window delivers it; after
  // the last link it moves on to the next control.
  const auto press = [&](UINT key) {
    MSG message{view, WM_KEYDOWN, key, 0, 0, {}};
    if (!IsDialogMessageW(host.hwnd(), &message)) DispatchMessageW(&message);
  };
  for (const int expected : {0, 1, 2}) {
    press(VK_TAB);
    EXPECT_EQ(host.view.FocusedLink(), static_cast<std::size_t>(expected));
    EXPECT_EQ(GetFocus(), view);
  }
  BYTE keys[256] = {};
  ASSERT_TRUE(GetKeyboardState(keys));
  keys[VK_SHIFT] = 0x80;
  ASSERT_TRUE(SetKeyboardState(keys));
  press(VK_TAB);
  keys[VK_SHIFT] = 0;
  ASSERT_TRUE(SetKeyboardState(keys));
  EXPECT_EQ(SendMessageW(view, win32::kPageViewFocusedLinkMessage, 0, 0), 1);

  // Enter follows the link that has the keyboard.
  press(VK_RETURN);
  const std::string sponsor = server + "sponsor.htm";
  EXPECT_EQ(host.opened, std::vector<std::string>{sponsor});
  EXPECT_EQ(host.view.CurrentAddress(), sponsor);
  EXPECT_EQ(e2e::GetText(view), sponsor);

  press(VK_TAB);
  EXPECT_EQ(host.view.FocusedLink(), 2u);
  const int before = host.deactivations;
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), host.button) << "past the last link the focus moves on";
  EXPECT_EQ(host.deactivations, before + 1);

  // A new page starts with no link chosen; the count is -1 while a page loads.
  host.view.Navigate(page);
  EXPECT_EQ(SendMessageW(view, win32::kPageViewLinkCountMessage, 0, 0), -1);
  ASSERT_TRUE(PumpUntil([&] { return SendMessageW(view, win32::kPageViewLinkCountMessage, 0, 0) == 3; }));
  EXPECT_EQ(host.view.FocusedLink(), std::nullopt);
  // A page without links takes no Tab.
  ASSERT_TRUE(ControlServer("set?path=/plain.htm&body=" + UrlEncode("<p>nothing to follow</p>")));
  Show(server + "plain.htm");
  SetFocus(view);
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), host.button);
  EXPECT_EQ(SendMessageW(view, win32::kPageViewLinkCountMessage, 0, 0), 0);
}

TEST_F(PageViewAgainstServer, HostilePagesAreShown) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<div><table><tr><td><b>";
  deep += "deep text<img src=\"" + std::string(100000, 'x') + "\">";
  const auto root = test::TestServerRoot();
  ASSERT_TRUE(root);
  ASSERT_TRUE(test::WriteWholeFile(*root + "\\deep.htm", deep));
  Show(server + "deep.htm");
  EXPECT_NE(FindText(host.view.Display(), "deep text"), nullptr);
  // A picture that is no picture stays a frame.
  ASSERT_TRUE(ControlServer("set?path=/bad.htm&body=" + UrlEncode("<img src=\"Ads2.htm\">after")));
  Show(server + "bad.htm");
  EXPECT_FALSE(host.view.PictureLoaded("Ads2.htm"));
  bool frame = false;
  for (const DisplayItem& item : host.view.Display().items) frame = frame || item.kind == DisplayItem::Kind::kPictureFrame;
  EXPECT_TRUE(frame);
}

}  // namespace
}  // namespace movarin::pageview
