#include "tests/e2e/driver/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/text.h"
#include "tests/e2e/driver/remote_memory.h"

namespace movarin::e2e {
namespace {

constexpr UINT kAnswerMs = 5000;
// Characters per cell or header; longer texts are cut by the control itself.
constexpr int kTextChars = 1024;

LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kAnswerMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

// Struct at offset 0, text buffer behind it.
template <typename T>
std::string RemoteText(HWND list, UINT message, WPARAM w, T item, LPWSTR T::*text_field,
                       int T::*max_field) {
  RemoteMemory remote(list, sizeof(T) + kTextChars * sizeof(wchar_t));
  if (!remote) return {};
  item.*text_field = static_cast<LPWSTR>(remote.at(sizeof(T)));
  item.*max_field = kTextChars;
  const wchar_t nothing = 0;
  if (!remote.Write(0, &item, sizeof item) || !remote.Write(sizeof(T), &nothing, sizeof nothing)) {
    return {};
  }
  if (Send(list, message, w, reinterpret_cast<LPARAM>(remote.address())) < 0) return {};
  std::wstring text(kTextChars, L'\0');
  if (!remote.Read(sizeof(T), text.data(), text.size() * sizeof(wchar_t))) return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return win32::Narrow(text);
}

}  // namespace

int ListViewRowCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)); }

int ListViewColumnCount(HWND list) {
  const auto header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  if (!header || reinterpret_cast<LRESULT>(header) == -1) return 0;
  return static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> ListViewColumns(HWND list) {
  std::vector<std::string> columns;
  const int n = ListViewColumnCount(list);
  for (int i = 0; i < n; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    columns.push_back(RemoteText(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), column,
                                 &LVCOLUMNW::pszText, &LVCOLUMNW::cchTextMax));
  }
  return columns;
}

std::string ListViewCell(HWND list, int row, int column) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  return RemoteText(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item, &LVITEMW::pszText,
                    &LVITEMW::cchTextMax);
}

std::vector<std::vector<std::string>> ListViewRows(HWND list) {
  std::vector<std::vector<std::string>> rows;
  const int count = ListViewRowCount(list);
  const int columns = std::max(1, ListViewColumnCount(list));
  for (int r = 0; r < count; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(ListViewCell(list, r, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<int> ListViewSelectedRows(HWND list) {
  std::vector<int> rows;
  const int count = ListViewRowCount(list);
  for (int at = -1; static_cast<int>(rows.size()) < count;) {
    at = static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(at), LVNI_SELECTED));
    if (at < 0) break;
    rows.push_back(at);
  }
  return rows;
}

bool SelectListViewRow(HWND list, int row) {
  RemoteMemory remote(list, sizeof(LVITEMW));
  if (!remote) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  if (!remote.Write(0, &item, sizeof item)) return false;
  Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.address()));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!remote.Write(0, &item, sizeof item)) return false;
  return Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
              reinterpret_cast<LPARAM>(remote.address())) == TRUE;
}

std::optional<RECT> ListViewRowRect(HWND list, int row) {
  RemoteMemory remote(list, sizeof(RECT));
  if (!remote) return std::nullopt;
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  if (!remote.Write(0, &rect, sizeof rect)) return std::nullopt;
  if (Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
           reinterpret_cast<LPARAM>(remote.address())) != TRUE ||
      !remote.Read(0, &rect, sizeof rect)) {
    return std::nullopt;
  }
  return rect;
}

}  // namespace movarin::e2e
