#pragma once
// Standard child controls created from argument structs.
#include <windows.h>

#include <string>

namespace movarin::win32 {

struct ControlArgs {
  const wchar_t* class_name = L"STATIC";
  std::wstring text;
  int id = 0;
  // Position and size in pixels, relative to the parent's client area.
  int x = 0, y = 0, width = 0, height = 0;
  DWORD style = 0;  // added to WS_CHILD | WS_VISIBLE
  DWORD ex_style = 0;
  bool visible = true;
  HFONT font = nullptr;
};

HWND CreateControl(HWND parent, const ControlArgs& args);

std::wstring GetText(HWND control);
void SetText(HWND control, const std::wstring& text);

}  // namespace movarin::win32
