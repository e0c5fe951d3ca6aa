#pragma once
// The one window procedure of the program. Each window is a C++ object bound to its
// HWND at WM_NCCREATE; messages reach small virtual handlers.
#include <windows.h>

#include <string>
#include <string_view>

namespace movarin::win32 {

struct WindowArgs {
  std::wstring class_name;
  std::wstring title;
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  DWORD ex_style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  // Outer size in pixels; see client_width/client_height for a client-area size.
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  // When both are set, the window is sized so that its client area has this size.
  int client_width = 0;
  int client_height = 0;
  HWND owner = nullptr;  // the parent, for a child window (WS_CHILD)
  int child_id = 0;      // a child window's control id
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  HICON icon = nullptr;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  bool Create(const WindowArgs& args);
  void Show(int show_command = SW_SHOW);
  // Starts (or restarts) a WM_TIMER of this window, or stops it.
  void EnableTimer(UINT_PTR id, UINT interval_ms, bool enabled);

 protected:
  // Routes a message to the handlers below; override for anything they do not cover.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
  }

  virtual bool OnCreate() { return true; }
  virtual void OnDestroy() {}
  // Return true when the close was handled (the window then stays unless destroyed).
  virtual bool OnClose() { return false; }
  virtual bool OnCommand(int id, int code, HWND control) { return false; }
  virtual bool OnNotify(const NMHDR& header, LRESULT& result) { return false; }
  virtual void OnTimer(UINT_PTR id) {}
  virtual void OnSize(int width, int height) {}

  // A child control by its id, and its text in UTF-8.
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string ItemText(int id) const;
  // Sets a control's text only when it differs: progress reports come often, and an
  // unchanged label is not redrawn.
  void SetItemText(int id, std::string_view text);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool RestoreFocusOnActivate(WPARAM wp);
  HWND hwnd_ = nullptr;
  // The control that had the keyboard focus when the window was last deactivated.
  HWND last_focus_ = nullptr;
};

// The DPI of the screen the program draws on (96 when it cannot be read).
int ScreenDpi();
// Twips (1/1440 inch) to pixels at the screen's DPI.
int TwipsToPixels(int twips);

}  // namespace movarin::win32
