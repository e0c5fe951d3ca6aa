#include "platform/win32/controls.h"

#include <vector>

namespace movarin::win32 {

HWND CreateControl(HWND parent, const ControlArgs& args) {
  // Overlapping siblings (a label wider than the gap to its text box) must not paint
  // over each other.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | args.style;
  if (args.visible) style |= WS_VISIBLE;
  HWND control = CreateWindowExW(args.ex_style, args.class_name, args.text.c_str(), style, args.x,
                                 args.y, args.width, args.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control && args.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), TRUE);
  return control;
}

std::wstring GetText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::vector<wchar_t> buf(static_cast<std::size_t>(length) + 1);
  const int got = GetWindowTextW(control, buf.data(), length + 1);
  return std::wstring(buf.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

void SetText(HWND control, const std::wstring& text) { SetWindowTextW(control, text.c_str()); }

}  // namespace movarin::win32
