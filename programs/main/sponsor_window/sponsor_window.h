#pragma once
// The first window of the program: the sponsor page of the program's server in a page
// view, three lines of text and "Refresh". Once the user has followed a sponsor link and
// the page loses activation, it shows the update check and hides. See sponsor_logic.h.
#include <functional>
#include <string>

#include "pageview/win32/page_view.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/sponsor_window/sponsor_logic.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct SponsorWindowArgs {
  std::string server_base_url;
  // Shows the update check window.
  std::function<void()> show_update_check;
};

class SponsorWindow final : public movarin::win32::Window,
                            private SponsorHost,
                            private pageview::win32::PageViewHost {
 public:
  explicit SponsorWindow(SponsorWindowArgs args);
  ~SponsorWindow() override;

  // Creates and shows the window; the page is fetched once the window is on the screen.
  bool Open(int show_command = SW_SHOW);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  // SponsorHost
  std::string CurrentAddress() override { return view_.CurrentAddress(); }
  void ShowUpdateCheck() override;
  void HideWindow() override;
  void EndProgram() override;
  // PageViewHost
  void PageDeactivated() override;

  SponsorWindowArgs args_;
  SponsorLogic logic_;
  skin::win32::SkinnedControls skinned_;
  pageview::win32::PageView view_;
  movarin::win32::UniqueGdiObject font_;
  // The child that had the keyboard when the window was last deactivated.
  HWND focused_ = nullptr;
};

}  // namespace movarin::main_program
