#include "tests/e2e/driver/text.h"

#include <algorithm>
#include <vector>

#include "platform/win32/text.h"

namespace movarin::e2e {
namespace {

// Long enough for a busy program, short enough that a hung one fails the test quickly.
constexpr UINT kAnswerMs = 5000;
// Window texts the tests read are short; a bound keeps a broken answer from allocating
// without end.
constexpr LRESULT kMaxTextLength = 1 << 20;

}  // namespace

std::string GetText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs,
                           &length) ||
      static_cast<LRESULT>(length) <= 0 || static_cast<LRESULT>(length) > kMaxTextLength) {
    return {};
  }
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, kAnswerMs,
                           &copied)) {
    return {};
  }
  copied = std::min<DWORD_PTR>(copied, length);
  return win32::Narrow(std::wstring_view(buffer.data(), copied));
}

bool SetText(HWND window, const std::string& text, milliseconds wait) {
  const std::wstring wide = win32::Widen(text);
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_NORMAL, static_cast<UINT>(wait.count()), &result) != 0;
}

}  // namespace movarin::e2e
