#include "tests/e2e/driver/tree_view.h"

#include <cwchar>

#include "platform/win32/text.h"
#include "tests/e2e/driver/remote_memory.h"

namespace movarin::e2e {
namespace {

constexpr UINT kAnswerMs = 5000;
constexpr int kTextChars = 1024;
// A bound on items per level, so a broken tree can never keep the driver walking.
constexpr int kMaxSiblings = 10000;

LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kAnswerMs, &result)) return 0;
  return static_cast<LRESULT>(result);
}

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM from) {
  return reinterpret_cast<HTREEITEM>(
      Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

std::string ItemText(HWND tree, HTREEITEM item) {
  RemoteMemory remote(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
  if (!remote) return {};
  TVITEMW request{};
  request.mask = TVIF_TEXT | TVIF_HANDLE;
  request.hItem = item;
  request.pszText = static_cast<LPWSTR>(remote.at(sizeof(TVITEMW)));
  request.cchTextMax = kTextChars;
  const wchar_t nothing = 0;
  if (!remote.Write(0, &request, sizeof request) ||
      !remote.Write(sizeof(TVITEMW), &nothing, sizeof nothing) ||
      !Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address()))) {
    return {};
  }
  std::wstring text(kTextChars, L'\0');
  if (!remote.Read(sizeof(TVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return win32::Narrow(text);
}

}  // namespace

std::vector<TreeItem> TreeViewChildren(HWND tree, HTREEITEM parent) {
  std::vector<TreeItem> items;
  HTREEITEM item = parent ? Next(tree, TVGN_CHILD, parent) : Next(tree, TVGN_ROOT, nullptr);
  for (int n = 0; item && n < kMaxSiblings; ++n) {
    items.push_back({item, ItemText(tree, item)});
    item = Next(tree, TVGN_NEXT, item);
  }
  return items;
}

bool ExpandTreeViewItem(HWND tree, HTREEITEM item) {
  Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  return Next(tree, TVGN_CHILD, item) != nullptr;
}

bool SelectTreeViewItem(HWND tree, HTREEITEM item) {
  return Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0 &&
         Next(tree, TVGN_CARET, nullptr) == item;
}

bool SelectTreeViewPath(HWND tree, const std::vector<std::string>& path) {
  HTREEITEM parent = nullptr;
  for (std::size_t level = 0; level < path.size(); ++level) {
    if (parent && !ExpandTreeViewItem(tree, parent)) return false;
    HTREEITEM found = nullptr;
    for (const TreeItem& item : TreeViewChildren(tree, parent)) {
      if (item.text == path[level]) {
        found = item.handle;
        break;
      }
    }
    if (!found) return false;
    parent = found;
  }
  return parent && SelectTreeViewItem(tree, parent);
}

std::optional<std::string> TreeViewSelectedText(HWND tree) {
  HTREEITEM selected = Next(tree, TVGN_CARET, nullptr);
  if (!selected) return std::nullopt;
  return ItemText(tree, selected);
}

}  // namespace movarin::e2e
