#pragma once
// Addresses of the page view: resolving a page's links and picture sources against the
// page's own address, and which address the view reports as its current one.
//
// A link is followed only to the web (http, https) or to a mail program (mailto); any
// other scheme (file:, javascript:, a program's own protocol) is never handed to the
// system. A followed address never carries blanks, quotes or control characters: they
// are percent-encoded, so the address stays one argument whatever program opens it.
#include <optional>
#include <string>
#include <string_view>

namespace movarin::pageview {

// The address the view reports while it shows its own error page: never a page's.
inline constexpr std::string_view kErrorPageAddress = "about:error";

enum class LinkUse {
  kFollow,   // a link the user clicks: http, https and mailto
  kPicture,  // a picture to fetch: http and https (only https on an https page)
};

// `reference` (an href or src as written) made absolute against the page address;
// nullopt when it is empty, malformed, or of a scheme the use does not allow.
std::optional<std::string> ResolveAddress(std::string_view page_address, std::string_view reference,
                                          LinkUse use);

// The view's addresses: the page it shows (or last tried to show) and the address it
// reports as current. Loading a page makes that page current; a page that cannot be
// fetched makes the error page current; a clicked link makes the link current, while
// the view itself keeps showing its page (the link opens in the user's browser).
class PageAddresses {
 public:
  // A new page is being fetched; the current address stays until it is shown.
  void StartLoading(std::string address) { page_ = std::move(address); }
  void Shown() { current_ = page_; }
  void Failed() { current_ = std::string(kErrorPageAddress); }
  // A click on a link with this href; the resolved address to open, or nullopt when the
  // link is not followed (the current address then stays).
  std::optional<std::string> Click(std::string_view href);

  const std::string& page() const { return page_; }
  const std::string& current() const { return current_; }

 private:
  std::string page_;
  std::string current_;
};

}  // namespace movarin::pageview
