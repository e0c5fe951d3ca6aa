#pragma once
// The window skin as a real child window covering its host: it makes the host
// borderless (keeping its taskbar button and minimise), draws the caption, body, border
// and caption buttons from skin/window_skin.h into a persistent off-screen image, tracks
// the hover every 10 ms, reports caption-button clicks through WindowSkinEvents and
// drags the host by its caption. It follows the host's size by itself.
//
//   skin::win32::WindowSkinControl skin;
//   skin.Create({.host = hwnd(), .design = skin::WindowSkinDesign({.title = "Movarin", .icon = "#1"})});
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "skin/property_bag.h"
#include "skin/win32/offscreen_surface.h"
#include "skin/window_skin.h"

namespace movarin::skin::win32 {

// What a host window does with its skin's caption buttons. The defaults are what every
// window does: minimise, toggle maximised and normal, and close as the window's own
// close handling decides (WM_CLOSE).
class WindowSkinEvents {
 public:
  virtual ~WindowSkinEvents() = default;
  virtual void MinClicked(HWND host) { ShowWindow(host, SW_MINIMIZE); }
  virtual void MaxClicked(HWND host) { ShowWindow(host, IsZoomed(host) ? SW_RESTORE : SW_MAXIMIZE); }
  virtual void CloseClicked(HWND host) { PostMessageW(host, WM_CLOSE, 0, 0); }
  virtual void PropertyChanged(std::string_view name) {}
};

struct WindowSkinArgs {
  HWND host = nullptr;
  PropertyBag design{};
  SkinHostDefaults defaults{};
  WindowSkinEvents* events = nullptr;  // nullptr: the default actions
  bool make_host_borderless = true;
  // Labels, check boxes and frames without a border of their own show the skin behind
  // them instead of the system's face colour.
  bool labels_on_skin = true;
};

class WindowSkinControl final : public movarin::win32::Window {
 public:
  WindowSkinControl() = default;
  ~WindowSkinControl() override;

  bool Create(const WindowSkinArgs& args);

  const WindowSkinProperties& Properties() const { return skin_.Properties(); }
  // Sets one property by name: stores it, tells the events, redraws.
  bool SetProperty(std::string_view name, std::string_view value);
  void SetProperties(const WindowSkinProperties& properties);

  // One hover tick, as the 10 ms timer runs it: returns true when it drew.
  bool TrackHoverOnce();
  // The number of times the caption buttons were painted since creation (benchmarks and
  // tests: a tick that changes nothing paints nothing).
  int ButtonPaints() const { return button_paints_; }
  int FullRedraws() const { return full_redraws_; }
  const WindowSkin& Skin() const { return skin_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;

 private:
  void FullRedraw();
  Point CursorRelative(Point cursor) const;
  bool CursorOnOwnWindow(Point cursor) const;
  bool HostHasFrame() const;
  void UpdateTimer();
  HBRUSH LabelBackground(HWND control, HDC dc) const;
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  HWND host_ = nullptr;
  WindowSkinEvents default_events_;
  WindowSkinEvents* events_ = &default_events_;
  WindowSkin skin_;
  OffscreenSurface surface_;
  Region region_{};
  bool region_set_ = false;
  bool subclassed_ = false;
  bool left_down_ = false;
  bool labels_on_skin_ = true;
  movarin::win32::UniqueGdiObject background_brush_;  // the skin's image, for labels
  int button_paints_ = 0;
  int full_redraws_ = 0;
};

}  // namespace movarin::skin::win32
