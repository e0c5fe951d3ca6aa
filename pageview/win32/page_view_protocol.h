#pragma once
// What another process may ask of a page view: the end-to-end driver (and any
// accessibility tool) cannot read the view's page, so the view answers two questions
// through its window. Its window text is always its current address.
#include <windows.h>

namespace movarin::pageview::win32 {

inline constexpr wchar_t kPageViewClassName[] = L"MovarinPageView";

// SendMessage(view, kPageViewLinkCountMessage, 0, 0): -1 while a page (or its pictures)
// is being fetched, else the number of links the shown page holds.
inline constexpr UINT kPageViewLinkCountMessage = WM_APP + 0x51;

// SendMessage(view, kPageViewFocusedLinkMessage, 0, 0): the index of the link that Tab
// moved to (Enter follows it), or -1 when no link has the keyboard.
inline constexpr UINT kPageViewFocusedLinkMessage = WM_APP + 0x52;

}  // namespace movarin::pageview::win32
