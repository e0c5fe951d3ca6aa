#include "tests/e2e/driver/find.h"

#include "base/ascii.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/text.h"

namespace movarin::e2e {
namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

bool TopMatches(HWND window, const WindowQuery& query) {
  if (query.visible_only && !IsWindowVisible(window)) return false;
  if (query.process_id != 0 && ProcessOf(window) != query.process_id) return false;
  if (!query.class_name.empty() && !base::EqualsIgnoringAsciiCase(ClassName(window), query.class_name)) {
    return false;
  }
  if (!query.title.empty()) {
    const std::string title = GetText(window);
    if (query.title_is_prefix ? title.rfind(query.title, 0) != 0 : title != query.title) {
      return false;
    }
  }
  return !query.where || query.where(window);
}

bool ChildMatches(HWND window, const ChildQuery& query) {
  if (query.visible_only && !IsWindowVisible(window)) return false;
  if (query.id != -1 && GetDlgCtrlID(window) != query.id) return false;
  if (!query.class_name.empty() && !base::EqualsIgnoringAsciiCase(ClassName(window), query.class_name)) {
    return false;
  }
  if (query.text) {
    const std::string text = GetText(window);
    if (text != *query.text && StripMnemonics(text) != *query.text) return false;
  }
  return true;
}

}  // namespace

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
  std::vector<HWND> all;
  EnumWindows(
      &CollectWindow,
      reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> found;
  for (HWND w : all) {
    if (TopMatches(w, query)) found.push_back(w);
  }
  return found;
}

HWND FindTopWindow(const WindowQuery& query) {
  const auto found = FindTopWindows(query);
  return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(const WindowQuery& query, milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(query)) != nullptr; }, timeout);
  return found;
}

bool WaitForWindowGone(HWND window, milliseconds timeout) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

std::vector<HWND> FindChildren(HWND parent, const ChildQuery& query) {
  std::vector<HWND> all;
  if (!parent) return all;
  EnumChildWindows(
      parent,
      &CollectWindow,
      reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> found;
  for (HWND w : all) {
    if (ChildMatches(w, query)) found.push_back(w);
  }
  return found;
}

HWND FindChild(HWND parent, const ChildQuery& query) {
  const auto found = FindChildren(parent, query);
  if (query.index < 0 || static_cast<std::size_t>(query.index) >= found.size()) return nullptr;
  return found[static_cast<std::size_t>(query.index)];
}

HWND WaitForChild(HWND parent, const ChildQuery& query, milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindChild(parent, query)) != nullptr; }, timeout);
  return found;
}

std::string ClassName(HWND window) {
  wchar_t name[256];
  const int n = GetClassNameW(window, name, 256);
  return n > 0 ? win32::Narrow(std::wstring_view(name, static_cast<std::size_t>(n))) : "";
}

namespace {

void Describe(HWND window, int depth, std::string& out) {
  if (depth > 32) return;
  RECT r{};
  GetWindowRect(window, &r);
  out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + ClassName(window) +
         " id=" + std::to_string(GetDlgCtrlID(window)) + " \"" + GetText(window) + "\" (" +
         std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + ")" +
         (IsWindowVisible(window) ? "" : " hidden") + "\n";
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Describe(child, depth + 1, out);
  }
}

}  // namespace

std::string DescribeWindow(HWND window) {
  std::string out;
  if (IsWindow(window)) Describe(window, 0, out);
  return out;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::string StripMnemonics(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out.push_back('&');
      else continue;
      ++i;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace movarin::e2e
