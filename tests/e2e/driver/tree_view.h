#pragma once
// Reading, expanding and selecting in a tree view of another process (the folder
// picker's tree, for example).
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace movarin::e2e {

struct TreeItem {
  HTREEITEM handle = nullptr;  // valid in the program's process; pass it back as it is
  std::string text;
};

// The items under parent (nullptr: the top-level items), in order. Items whose children
// are filled in on demand appear after ExpandTreeViewItem.
std::vector<TreeItem> TreeViewChildren(HWND tree, HTREEITEM parent = nullptr);
// Expands the item (the program hears TVN_ITEMEXPANDING, as from a click on "+").
bool ExpandTreeViewItem(HWND tree, HTREEITEM item);
// Makes the item the selection (the program hears TVN_SELCHANGED).
bool SelectTreeViewItem(HWND tree, HTREEITEM item);
// Follows captions from the top, expanding each step, and selects the last; false when a
// step is missing.
bool SelectTreeViewPath(HWND tree, const std::vector<std::string>& path);
// The selected item's caption, or nullopt when nothing is selected.
std::optional<std::string> TreeViewSelectedText(HWND tree);

}  // namespace movarin::e2e
