#include "pageview/win32/page_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "imaging/bitmap32.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::pageview::win32 {

namespace {

using movarin::win32::SelectObjectScope;
using movarin::win32::UniqueGdiObject;
using movarin::win32::UniqueMemoryDc;
using movarin::win32::Widen;

// Fetches the requested page; posted so that Navigate returns at once.
constexpr UINT kLoadMessage = WM_APP + 0x50;

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kLinkInk = RGB(0, 0, 0xCC);
constexpr COLORREF kRuleInk = RGB(160, 160, 160);
constexpr COLORREF kFrameInk = RGB(192, 192, 192);

std::string Escape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

void OpenInBrowser(const std::string& address) {
  ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

PageView::PageView() : document_(ReadHtml({})) {}

PageView::~PageView() { fetch_.Cancel(); }

bool PageView::Create(const PageViewArgs& args) {
  args_ = args;
  if (!args_.open_link) args_.open_link = &OpenInBrowser;
  dpi_ = movarin::win32::ScreenDpi();
  fonts_ = std::make_unique<PageFonts>(dpi_);
  movarin::win32::WindowArgs window;
  window.class_name = kPageViewClassName;
  window.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS;
  window.ex_style = WS_EX_CLIENTEDGE;
  window.x = args.x;
  window.y = args.y;
  window.width = args.width;
  window.height = args.height;
  window.owner = args.parent;
  window.background = nullptr;  // everything is painted, double-buffered
  if (!Window::Create(window)) return false;
  SetWindowLongPtrW(hwnd(), GWLP_ID, args.control_id);
  Relayout();
  return true;
}

void PageView::Navigate(const std::string& url) {
  requested_ = url;
  ++generation_;
  if (loading_) fetch_.Cancel();
  if (hwnd()) PostMessageW(hwnd(), kLoadMessage, 0, 0);
}

void PageView::Refresh() {
  Navigate(addresses_.page().empty() ? requested_ : addresses_.page());
}

bool PageView::PictureLoaded(const std::string& source) const {
  auto it = pictures_.find(source);
  return it != pictures_.end() && it->second && it->second->HasImage();
}

void PageView::Load() {
  // A Navigate or Refresh from a message processed during the fetch supersedes the
  // running load, which then starts over with the newest address.
  if (loading_ || loaded_generation_ == generation_) return;
  loading_ = true;
  for (;;) {
    const unsigned generation = generation_;
    const bool done = LoadOnce(generation);
    loaded_generation_ = generation;
    if (done || !hwnd() || generation == generation_) break;
  }
  loading_ = false;
}

bool PageView::LoadOnce(unsigned generation) {
  addresses_.StartLoading(requested_);
  auto fetched = fetch_.Get(requested_, kMaxPageBytes);
  if (Superseded(generation)) return false;
  if (!fetched) {
    ShowErrorPage(fetched.error().description);
  } else if (fetched->status < 200 || fetched->status > 299) {
    ShowErrorPage("the server answered with status " + std::to_string(fetched->status));
  } else {
    document_ = ReadHtml(fetched->body);
    pictures_.clear();
    addresses_.Shown();
    scroll_y_ = 0;
    focused_link_.reset();
    Relayout();
    ReportAddress(addresses_.current());
    if (Superseded(generation)) return false;
    FetchPictures(generation);
    if (Superseded(generation)) return false;
  }
  if (args_.host) args_.host->PageDocumentComplete();
  return true;
}

void PageView::ShowErrorPage(const std::string& reason) {
  const std::string html = "<h3>This page cannot be displayed</h3><p>The page <b>" + Escape(requested_) +
                           "</b> could not be fetched: " + Escape(reason) +
                           ".</p><p>Press Refresh to try again.</p>";
  document_ = ReadHtml(html);
  pictures_.clear();
  addresses_.Failed();
  scroll_y_ = 0;
  focused_link_.reset();
  Relayout();
  ReportAddress(addresses_.current());
}

void PageView::FetchPictures(unsigned generation) {
  const std::vector<std::string> sources = display_.pictures;
  for (const std::string& source : sources) {
    std::unique_ptr<imaging::win32::Bitmap32> picture;
    if (auto address = ResolveAddress(addresses_.page(), source, LinkUse::kPicture)) {
      auto fetched = fetch_.Get(*address, kMaxPictureBytes);
      if (Superseded(generation)) return;
      if (fetched && fetched->status == 200) {
        // Only our own decoders read a page's pictures: PNG, GIF, ICO/CUR and BMP.
        imaging::Bitmap32 decoded;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(fetched->body.data());
        auto drawable = std::make_unique<imaging::win32::Bitmap32>();
        if (decoded.LoadFromBytes(std::span(bytes, fetched->body.size())) && decoded.CopyTo(*drawable, false)) {
          picture = std::move(drawable);
        }
      }
    }
    pictures_[source] = std::move(picture);
    Relayout();
  }
}

int PageView::ViewHeight() const {
  RECT client{};
  if (hwnd()) GetClientRect(hwnd(), &client);
  return std::max<int>(0, client.bottom - client.top);
}

int PageView::LineStep() const { return MulDiv(20, dpi_, 96); }

void PageView::Relayout() {
  if (!hwnd()) return;
  if (in_layout_) {
    relayout_again_ = true;
    return;
  }
  in_layout_ = true;
  struct LayoutScope {
    bool& flag;
    ~LayoutScope() { flag = false; }
  } scope{in_layout_};
  // Showing or hiding the scroll bar changes the width, which calls for one more pass.
  for (int pass = 0; pass < 3; ++pass) {
    relayout_again_ = false;
    RECT client{};
    GetClientRect(hwnd(), &client);
    LayoutOptions options;
    options.width = std::max<int>(1, client.right - client.left);
    options.margin = MulDiv(8, dpi_, 96);
    options.scale_percent = MulDiv(100, dpi_, 96);
    GdiTextMeasurer measurer(*fonts_);
    const PictureSizes sizes = [this](const std::string& source) -> std::optional<PictureSize> {
      auto it = pictures_.find(source);
      if (it == pictures_.end() || !it->second || !it->second->HasImage()) return std::nullopt;
      return PictureSize{it->second->Width(), it->second->Height()};
    };
    display_ = LayOutPage(document_, measurer, sizes, options);
    UpdateScrollBar();
    if (!relayout_again_) break;
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void PageView::UpdateScrollBar() {
  const int view = ViewHeight();
  scroll_y_ = std::clamp(scroll_y_, 0, std::max(0, display_.height - view));
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, display_.height - 1);
  info.nPage = static_cast<UINT>(view);
  info.nPos = scroll_y_;
  SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
}

void PageView::ScrollTo(int y) {
  const int clamped = std::clamp(y, 0, std::max(0, display_.height - ViewHeight()));
  if (clamped == scroll_y_) return;
  scroll_y_ = clamped;
  SetScrollPos(hwnd(), SB_VERT, scroll_y_, TRUE);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

std::optional<std::size_t> PageView::LinkAtClient(int x, int y) const { return LinkAt(display_, x, y + scroll_y_); }

void PageView::ClickLink(std::size_t link) {
  if (link >= display_.links.size()) return;
  const auto address = addresses_.Click(display_.links[link]);
  if (!address) return;
  ReportAddress(*address);
  if (args_.open_link) args_.open_link(*address);
}

void PageView::ReportAddress(const std::string& address) {
  if (hwnd()) SetWindowTextW(hwnd(), Widen(address).c_str());
  if (args_.host) args_.host->PageAddressChanged(address);
}

std::optional<std::size_t> PageView::NextLink(bool backwards) const {
  // Only links with something on the page can show that they have the keyboard.
  std::vector<bool> shown(display_.links.size(), false);
  for (const DisplayItem& item : display_.items) {
    if (item.link >= 0 && static_cast<std::size_t>(item.link) < shown.size()) shown[item.link] = true;
  }
  if (backwards) {
    std::size_t i = focused_link_ ? *focused_link_ : shown.size();
    while (i-- > 0) {
      if (shown[i]) return i;
    }
    return std::nullopt;
  }
  for (std::size_t i = focused_link_ ? *focused_link_ + 1 : 0; i < shown.size(); ++i) {
    if (shown[i]) return i;
  }
  return std::nullopt;
}

void PageView::FocusLink(std::optional<std::size_t> link) {
  focused_link_ = link;
  if (link) {
    // The link's first piece comes into view.
    for (const DisplayItem& item : display_.items) {
      if (item.link != static_cast<int>(*link)) continue;
      if (item.box.y < scroll_y_) {
        ScrollTo(item.box.y);
      } else if (item.box.y + item.box.height > scroll_y_ + ViewHeight()) {
        ScrollTo(item.box.y + item.box.height - ViewHeight());
      }
      break;
    }
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT PageView::DialogCode(const MSG* message) const {
  LRESULT code = DLGC_WANTARROWS;
  if (message && message->message == WM_KEYDOWN) {
    // Tab stays in the view while there is a link to go to; after the last one it moves
    // on to the window's next control. Enter is the view's own while a link has the
    // keyboard.
    if (message->wParam == VK_TAB && NextLink(GetKeyState(VK_SHIFT) < 0)) code |= DLGC_WANTTAB;
    if (message->wParam == VK_RETURN && focused_link_) code |= DLGC_WANTMESSAGE;
  }
  return code;
}

void PageView::PaintTo(HDC target) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  UniqueMemoryDc dc(CreateCompatibleDC(target));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(target, width, height));
  if (!dc || !bitmap) return;
  {
    SelectObjectScope select_bitmap(dc.get(), bitmap.get());
    UniqueGdiObject paper(CreateSolidBrush(kPaper));
    FillRect(dc.get(), &client, static_cast<HBRUSH>(paper.get()));
    SetBkMode(dc.get(), TRANSPARENT);
    const HGDIOBJ original_font = GetCurrentObject(dc.get(), OBJ_FONT);
    for (const DisplayItem& item : display_.items) {
      const int top = item.box.y - scroll_y_;
      if (top >= height || top + item.box.height <= 0) continue;
      const RECT box{item.box.x, top, item.box.x + item.box.width, top + item.box.height};
      switch (item.kind) {
        case DisplayItem::Kind::kText: {
          SelectObject(dc.get(), fonts_->Font(item.style));
          SetTextColor(dc.get(), item.style.link ? kLinkInk : kInk);
          const std::wstring text = Widen(item.text);
          TextOutW(dc.get(), item.box.x, top, text.c_str(), static_cast<int>(text.size()));
          break;
        }
        case DisplayItem::Kind::kPicture: {
          auto it = pictures_.find(item.source);
          if (it != pictures_.end() && it->second) {
            it->second->Render(dc.get(), item.box.x, top, item.box.width, item.box.height);
          }
          break;
        }
        case DisplayItem::Kind::kPictureFrame: {
          UniqueGdiObject frame(CreateSolidBrush(kFrameInk));
          FrameRect(dc.get(), &box, static_cast<HBRUSH>(frame.get()));
          break;
        }
        case DisplayItem::Kind::kRule: {
          UniqueGdiObject rule(CreateSolidBrush(kRuleInk));
          FillRect(dc.get(), &box, static_cast<HBRUSH>(rule.get()));
          break;
        }
      }
    }
    SelectObject(dc.get(), original_font);
    if (focused_link_ && GetFocus() == hwnd()) {
      SetTextColor(dc.get(), kInk);
      SetBkColor(dc.get(), kPaper);
      for (const DisplayItem& item : display_.items) {
        if (item.link != static_cast<int>(*focused_link_)) continue;
        const RECT box{item.box.x - 1, item.box.y - scroll_y_ - 1, item.box.x + item.box.width + 1,
                       item.box.y - scroll_y_ + item.box.height + 1};
        DrawFocusRect(dc.get(), &box);
      }
    }
    BitBlt(target, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
  }
}

void PageView::OnSize(int, int) { Relayout(); }

void PageView::OnDestroy() {
  // A load waiting on the network ends now; it sees that the window is gone.
  fetch_.Cancel();
  ++generation_;
}

LRESULT PageView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kLoadMessage:
      Load();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      if (dc) PaintTo(dc);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintTo(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      GetScrollInfo(hwnd(), SB_VERT, &info);
      int target = scroll_y_;
      switch (LOWORD(wp)) {
        case SB_LINEUP: target -= LineStep(); break;
        case SB_LINEDOWN: target += LineStep(); break;
        case SB_PAGEUP: target -= ViewHeight(); break;
        case SB_PAGEDOWN: target += ViewHeight(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: target = info.nTrackPos; break;
        case SB_TOP: target = 0; break;
        case SB_BOTTOM: target = display_.height; break;
      }
      ScrollTo(target);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      ScrollTo(scroll_y_ - notches * 3 * LineStep());
      return 0;
    }
    case WM_KEYDOWN:
      switch (wp) {
        case VK_UP: ScrollTo(scroll_y_ - LineStep()); return 0;
        case VK_DOWN: ScrollTo(scroll_y_ + LineStep()); return 0;
        case VK_PRIOR: ScrollTo(scroll_y_ - ViewHeight()); return 0;
        case VK_NEXT: ScrollTo(scroll_y_ + ViewHeight()); return 0;
        case VK_HOME: ScrollTo(0); return 0;
        case VK_END: ScrollTo(display_.height); return 0;
        case VK_F5: Refresh(); return 0;
        case VK_TAB:
          if (auto next = NextLink(GetKeyState(VK_SHIFT) < 0)) FocusLink(next);
          return 0;
        case VK_RETURN:
          if (focused_link_) ClickLink(*focused_link_);
          return 0;
      }
      break;
    case WM_GETDLGCODE:
      return DialogCode(reinterpret_cast<const MSG*>(lp));
    case kPageViewLinkCountMessage:
      if (loading_ || loaded_generation_ != generation_) return -1;
      return static_cast<LRESULT>(display_.links.size());
    case kPageViewFocusedLinkMessage:
      return focused_link_ ? static_cast<LRESULT>(*focused_link_) : -1;
    case WM_SETFOCUS:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      hover_link_ = LinkAtClient(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(hover_link_ ? IDC_HAND : IDC_ARROW)));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd());
      pressed_link_ = LinkAtClient(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONUP: {
      const auto link = LinkAtClient(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      const auto pressed = pressed_link_;
      pressed_link_.reset();
      if (link && link == pressed) {
        FocusLink(link);
        ClickLink(*link);
      }
      return 0;
    }
    case WM_RBUTTONDOWN:
      SetFocus(hwnd());
      return 0;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      // The page offers no menu, and the right click goes nowhere else either.
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd(), nullptr, FALSE);
      if (args_.host) args_.host->PageDeactivated();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace movarin::pageview::win32
