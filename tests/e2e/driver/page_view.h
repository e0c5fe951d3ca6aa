#pragma once
// The page view of our programs (the sponsor window's page) from outside their process:
// its address, whether its page has arrived, and its links through the keyboard; and
// the one step every start of Movarin begins with, passing the sponsor window.
#include <windows.h>

#include <optional>
#include <string>

#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

// The first page view inside `window`, nullptr when there is none.
HWND FindPageView(HWND window);
// The view's current address (its window text).
std::string PageViewAddress(HWND view);
// The number of links on the shown page; nullopt while a page is being fetched (or the
// view does not answer).
std::optional<int> PageViewLinkCount(HWND view);
// Waits until the view shows a page (or its error page) with everything on it fetched.
bool WaitForPage(HWND view, milliseconds timeout = kDefaultTimeout);

// The user's web browser, as far as a test needs one: a window of the driver's own that
// comes to the front, so the program's window loses activation. Gone with the object.
class ForeignWindow {
 public:
  ForeignWindow();
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;
  ~ForeignWindow();
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Passes Movarin's sponsor window as a user does: once its page has arrived, the window
// comes to the front, the first sponsor link is followed with the keyboard (Tab, Enter),
// and another window takes the front, as the opened browser would. A page without links
// (the view's error page when the server cannot be reached) is only left. True once the
// sponsor window has hidden; otherwise *error says where it stopped.
bool PassSponsorWindow(HWND sponsor_window, std::string* error = nullptr);

}  // namespace movarin::e2e
