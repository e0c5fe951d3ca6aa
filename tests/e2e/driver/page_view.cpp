#include "tests/e2e/driver/page_view.h"

#include "pageview/win32/page_view_protocol.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/text.h"

namespace movarin::e2e {

namespace protocol = pageview::win32;

namespace {

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

std::optional<LRESULT> Ask(HWND view, UINT message) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(view, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return std::nullopt;
  return static_cast<LRESULT>(answer);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Lets the driver's own window handle what its activation sends it.
void PumpOwnMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

HWND FindPageView(HWND window) {
  return FindChild(window, {.class_name = win32::Narrow(protocol::kPageViewClassName)});
}

std::string PageViewAddress(HWND view) { return GetText(view); }

std::optional<int> PageViewLinkCount(HWND view) {
  const auto count = Ask(view, protocol::kPageViewLinkCountMessage);
  if (!count || *count < 0) return std::nullopt;
  return static_cast<int>(*count);
}

bool WaitForPage(HWND view, milliseconds timeout) {
  return WaitUntil([&] { return !PageViewAddress(view).empty() && PageViewLinkCount(view).has_value(); },
                   timeout);
}

ForeignWindow::ForeignWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (!GetClassInfoExW(instance, L"MovarinDriverBrowser", &window_class)) {
    window_class.lpfnWndProc = &DefWindowProcW;
    window_class.hInstance = instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"MovarinDriverBrowser";
    RegisterClassExW(&window_class);
  }
  hwnd_ = CreateWindowExW(0, L"MovarinDriverBrowser", L"Browser", WS_OVERLAPPEDWINDOW, 600, 500, 300, 200,
                          nullptr, nullptr, instance, nullptr);
  if (!hwnd_) return;
  BringToFront(hwnd_);
  PumpOwnMessages();
}

ForeignWindow::~ForeignWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  PumpOwnMessages();
}

bool PassSponsorWindow(HWND sponsor_window, std::string* error) {
  HWND view = FindPageView(sponsor_window);
  if (!view) return Fail(error, "the sponsor window has no page view:\n" + DescribeWindow(sponsor_window));
  if (!WaitForPage(view, milliseconds(30000))) return Fail(error, "the sponsor page did not arrive");
  const std::string page = PageViewAddress(view);
  // The user works in the window: it is in front and its page has the keyboard.
  BringToFront(sponsor_window);
  if (!WaitUntil([&] { return FocusOf(sponsor_window) == view; })) {
    return Fail(error, "the sponsor page did not get the keyboard");
  }
  if (PageViewLinkCount(view).value_or(0) > 0) {
    PressKey(view, VK_TAB);
    if (!WaitUntil([&] { return Ask(view, protocol::kPageViewFocusedLinkMessage).value_or(-1) >= 0; })) {
      return Fail(error, "Tab reached no link on " + page);
    }
    PressEnter(view);
    if (!WaitUntil([&] { return PageViewAddress(view) != page; })) {
      return Fail(error, "Enter followed no link on " + page);
    }
  }
  // The browser that opened the link comes to the front.
  ForeignWindow browser;
  if (!browser.hwnd()) return Fail(error, "no window to take the front");
  const bool gone = WaitUntil([&] {
    PumpOwnMessages();
    return !IsWindow(sponsor_window) || !IsWindowVisible(sponsor_window);
  });
  if (!gone) {
    return Fail(error, "the sponsor window stayed (its page: " + PageViewAddress(view) + ")");
  }
  return true;
}

}  // namespace movarin::e2e
