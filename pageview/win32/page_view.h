#pragma once
// The page view: a child window that fetches a web page over HTTP and shows it as a page
// (headings, paragraphs, bold and italic text, centred blocks, links, pictures, simple
// tables), with a vertical scroll bar when the page is taller than the view. No script
// runs and the page can open nothing of its own. A click on a link makes the link the
// view's current address and opens it in the user's browser; the view itself keeps
// showing its page. A page that cannot be fetched shows a short error page of the view's
// own, whose address is never a page's. Right-clicking shows no menu. The keyboard
// reaches the links too: Tab and Shift+Tab move from link to link (and on to the next
// control after the last one), Enter follows the link that has the keyboard.
//
// The host learns of the current address, of a finished page and of the view losing the
// keyboard focus through PageViewHost. The view must outlive a running load: destroying
// its window (which cancels the load) is always safe, destroying the object while
// Loading() is not.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "download/win32/http_fetch.h"
#include "imaging/win32/bitmap32.h"
#include "pageview/html_reader.h"
#include "pageview/page_address.h"
#include "pageview/page_layout.h"
#include "pageview/win32/gdi_text_measurer.h"
#include "pageview/win32/page_view_protocol.h"
#include "platform/win32/window.h"

namespace movarin::pageview::win32 {

class PageViewHost {
 public:
  virtual ~PageViewHost() = default;
  // The view's current address changed: a page or the error page was shown, or a link
  // was clicked.
  virtual void PageAddressChanged(const std::string& address) {}
  // The page (or the error page) and its pictures are fetched and shown.
  virtual void PageDocumentComplete() {}
  // The page lost the keyboard focus: another window or control became active.
  virtual void PageDeactivated() {}
};

struct PageViewArgs {
  HWND parent = nullptr;
  // Place and size in the parent's client area, in pixels.
  int x = 0;
  int y = 0;
  int width = 490;
  int height = 330;
  int control_id = 0;
  PageViewHost* host = nullptr;
  // Opens a followed link; by default the user's browser opens it (ShellExecute "open").
  std::function<void(const std::string& address)> open_link;
};

class PageView final : public movarin::win32::Window {
 public:
  PageView();
  ~PageView() override;

  bool Create(const PageViewArgs& args);

  // Shows the page at `url` (an http address): it is fetched as soon as the view gets to
  // its messages, so a caller's window can finish appearing first.
  void Navigate(const std::string& url);
  // Fetches the page on show again; after the error page, the page that failed.
  void Refresh();

  const std::string& CurrentAddress() const { return addresses_.current(); }
  bool Loading() const { return loading_; }

  // What the view shows: the laid-out page and how far it is scrolled.
  const DisplayList& Display() const { return display_; }
  int ScrollPosition() const { return scroll_y_; }
  void ScrollTo(int y);
  // True when the picture of this src attribute was fetched and decoded.
  bool PictureLoaded(const std::string& source) const;
  // The link Tab moved to, as an index into Display().links.
  std::optional<std::size_t> FocusedLink() const { return focused_link_; }

  // Draws what the view shows into `dc`, client area size.
  void PaintTo(HDC dc);

  // Limits on what is fetched.
  static constexpr std::size_t kMaxPageBytes = 2u << 20;
  static constexpr std::size_t kMaxPictureBytes = 4u << 20;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(int width, int height) override;
  void OnDestroy() override;

 private:
  void Load();
  // One pass of loading; false when a newer Navigate or Refresh superseded it, or the
  // window went away.
  bool LoadOnce(unsigned generation);
  void ShowErrorPage(const std::string& reason);
  void FetchPictures(unsigned generation);
  bool Superseded(unsigned generation) const { return !hwnd() || generation != generation_; }
  void Relayout();
  void UpdateScrollBar();
  void ClickLink(std::size_t link);
  // The address the view reports changed: its window text and the host follow.
  void ReportAddress(const std::string& address);
  // The next link with something shown on the page, after (or before) the focused one;
  // nullopt when there is none in that direction.
  std::optional<std::size_t> NextLink(bool backwards) const;
  void FocusLink(std::optional<std::size_t> link);
  LRESULT DialogCode(const MSG* message) const;
  std::optional<std::size_t> LinkAtClient(int x, int y) const;
  int ViewHeight() const;
  int LineStep() const;

  PageViewArgs args_;
  int dpi_ = 96;
  std::unique_ptr<PageFonts> fonts_;
  download::win32::HttpFetch fetch_;
  PageAddresses addresses_;
  std::string requested_;
  Document document_;
  DisplayList display_;
  // Pictures by src attribute; nullptr for one that could not be fetched or decoded.
  std::map<std::string, std::unique_ptr<imaging::win32::Bitmap32>> pictures_;
  int scroll_y_ = 0;
  bool loading_ = false;
  // Each Navigate or Refresh counts up; the count of the last load that ran.
  unsigned generation_ = 0;
  unsigned loaded_generation_ = 0;
  bool in_layout_ = false;
  bool relayout_again_ = false;
  std::optional<std::size_t> pressed_link_;
  std::optional<std::size_t> hover_link_;
  std::optional<std::size_t> focused_link_;
};

}  // namespace movarin::pageview::win32
