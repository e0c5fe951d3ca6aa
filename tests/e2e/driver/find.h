#pragma once
// Finding top-level windows and their child controls, in this or another process.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

struct WindowQuery {
  std::string title{};           // exact caption; empty matches any
  bool title_is_prefix = false;  // match captions that start with title
  std::string class_name{};      // window class, any letter case; empty matches any
  DWORD process_id = 0;          // owning process; 0 matches any
  bool visible_only = true;
  // Any further test, e.g. [](HWND w) { return FindChild(w, {.text = "Search"}); }.
  std::function<bool(HWND)> where{};
};

struct ChildQuery {
  std::string class_name{};        // e.g. "Button", "Edit", "SysListView32"; any letter case
  std::optional<std::string> text{};  // exact text, or the text with '&' marks removed
  int id = -1;                     // control id; -1 matches any
  int index = 0;                   // the n-th match (0-based), in creation order
  bool visible_only = false;
};

std::vector<HWND> FindTopWindows(const WindowQuery& query);
HWND FindTopWindow(const WindowQuery& query);  // nullptr when there is none
HWND WaitForWindow(const WindowQuery& query, milliseconds timeout = kDefaultTimeout);
// True once window no longer exists or is hidden.
bool WaitForWindowGone(HWND window, milliseconds timeout = kDefaultTimeout);

// Every descendant of parent matching query (index is ignored here).
std::vector<HWND> FindChildren(HWND parent, const ChildQuery& query);
HWND FindChild(HWND parent, const ChildQuery& query);  // nullptr when there is none
HWND WaitForChild(HWND parent, const ChildQuery& query, milliseconds timeout = kDefaultTimeout);

std::string ClassName(HWND window);
// The window and its descendants, one per line, indented by depth:
//   "<class> id=<id> \"<text>\" (x,y w×h)[ hidden]" — for failure messages of tests.
std::string DescribeWindow(HWND window);
DWORD ProcessOf(HWND window);
// Window text with the '&' mnemonic marks removed ("&&" stays one '&').
std::string StripMnemonics(const std::string& text);

}  // namespace movarin::e2e
