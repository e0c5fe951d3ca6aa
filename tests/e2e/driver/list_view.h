#pragma once
// Reading (and selecting in) a list view of another process.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace movarin::e2e {

int ListViewRowCount(HWND list);
int ListViewColumnCount(HWND list);
// The column headers' captions, left to right.
std::vector<std::string> ListViewColumns(HWND list);
std::string ListViewCell(HWND list, int row, int column);
// Every row, each with one text per column.
std::vector<std::vector<std::string>> ListViewRows(HWND list);
std::vector<int> ListViewSelectedRows(HWND list);
// Selects and focuses exactly this row (others are deselected).
bool SelectListViewRow(HWND list, int row);
// The row's rectangle in the list's client coordinates (for clicks).
std::optional<RECT> ListViewRowRect(HWND list, int row);

}  // namespace movarin::e2e
