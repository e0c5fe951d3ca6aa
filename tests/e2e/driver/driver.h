#pragma once
// The end-to-end driver: starts a program of ours under Wine and works its windows the
// way a user would, through window messages, then reads back what it shows.
//
//   auto app = Process::Launch({.program = BuildPath("app\\Movarin.exe")});
//   HWND main = WaitForWindow({.title = "Movarin", .process_id = app->id()});
//   HWND search = FindChild(main, {.class_name = "Edit"});
//   SetText(search, "comdlg"); PressEnter(search);
//   auto box = WaitForMessageBox(app->id());
//   PressMessageBoxButton(box->window, "OK");
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/list_view.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/page_view.h"
#include "tests/e2e/driver/popup_menu.h"
#include "tests/e2e/driver/process.h"
#include "tests/e2e/driver/registry_read.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/skin_probe.h"
#include "tests/e2e/driver/text.h"
#include "tests/e2e/driver/tree_view.h"
#include "tests/e2e/driver/wait.h"

#include <string>

namespace movarin::e2e {

// MOVARIN_BUILD + "\" + relative, as a Windows path ("app\\Movarin.exe" gives the program
// of the tree the test belongs to); empty when MOVARIN_BUILD is unset.
std::string BuildPath(const std::string& relative);

}  // namespace movarin::e2e
