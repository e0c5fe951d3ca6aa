#pragma once
// What the sponsor window does: it shows the sponsor page of the program's server and
// gives way to the update check once the user has followed one of its links. The sign
// is that the page loses activation while the view no longer shows the sponsor page's
// address (a followed link, or the view's error page after a failed fetch, whose
// address is never the page's).
#include <string>
#include <string_view>

namespace movarin::main_program {

// The sponsor page, after ServerBaseUrl.
inline constexpr std::string_view kSponsorPagePath = "Ads2.htm";
std::string SponsorPageAddress(std::string_view server_base_url);

namespace sponsor_texts {
inline constexpr std::string_view kFree = "This software is 100% free";
inline constexpr std::string_view kSupport = "Please support this software by visiting our sponsors";
inline constexpr std::string_view kOpensOnClick = "This software will open as soon as you click on our sponsors links ";
inline constexpr std::string_view kRefresh = "Refresh";
}  // namespace sponsor_texts

class SponsorHost {
 public:
  virtual ~SponsorHost() = default;
  // The page view's current address.
  virtual std::string CurrentAddress() = 0;
  // Shows the update check window, modeless.
  virtual void ShowUpdateCheck() = 0;
  // Hides this window; it stays loaded.
  virtual void HideWindow() = 0;
  virtual void EndProgram() = 0;
};

class SponsorLogic {
 public:
  SponsorLogic(SponsorHost& host, std::string sponsor_address)
      : host_(host), sponsor_address_(std::move(sponsor_address)) {}

  const std::string& SponsorAddress() const { return sponsor_address_; }

  // The page lost activation. Once the view has left the sponsor page, the update check
  // opens and this window hides, once; losing activation again (the hidden window, the
  // window being closed) changes nothing.
  void PageDeactivated();
  // The window goes away. Unless the start-up went on, nothing of the program would be
  // left to see, so the program ends.
  void Closing();

  bool WentOn() const { return went_on_; }

 private:
  SponsorHost& host_;
  std::string sponsor_address_;
  bool went_on_ = false;
  bool closing_ = false;
};

}  // namespace movarin::main_program
