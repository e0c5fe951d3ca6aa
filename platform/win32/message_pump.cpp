#include "platform/win32/message_pump.h"

#include <windows.h>

namespace movarin::win32 {

namespace {
void Dispatch(MSG& msg) {
  // Dialog navigation (Tab between controls) for whichever top-level window owns the focus.
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  if (top && IsDialogMessageW(top, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}
}  // namespace

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace movarin::win32
