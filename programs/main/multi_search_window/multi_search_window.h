#pragma once
// The window that searches a list of names one after the other through the main
// window's ordinary search. One instance for the whole program: opening it again brings
// the same window up with its list unchanged; closing it ends a walk, and a new opening
// starts with an empty list.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/multi_search_window/multi_search_logic.h"
#include "programs/main/program_state.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct NameListImagesTraits {
  static HIMAGELIST Invalid() { return nullptr; }
  static void Close(HIMAGELIST images) { ImageList_Destroy(images); }
};

struct MultiSearchWindowArgs {
  ProgramState* state = nullptr;
  // The main window's search of one name; returns when the search, and any download it
  // started, has ended.
  std::function<void(const std::string& name)> search_in_main_window;
};

class MultiSearchWindow final : public movarin::win32::Window, private multi_search::MultiSearchHost {
 public:
  explicit MultiSearchWindow(MultiSearchWindowArgs args);
  ~MultiSearchWindow() override;

  // Shows the window, creating it with an empty list when it is not open.
  void Open();

 protected:
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnClose() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  void OnTimer(UINT_PTR id) override;

 private:
  HWND NameList() const;
  void SetUpNameList();

  // multi_search::MultiSearchHost
  std::string AskForName(std::string_view prompt, std::string_view title) override;
  void NamesChanged() override;
  void SetColumnHeader(std::string_view text) override;
  void ShowInformation(std::string_view text) override;
  void EnableWalkTimer(bool enabled) override;
  void SearchInMainWindow(const std::string& name) override;

  MultiSearchWindowArgs args_;
  // One per opening of the window: a new window starts with an empty list.
  std::optional<multi_search::MultiSearchLogic> logic_;
  std::optional<skin::win32::SkinnedControls> skinned_;
  movarin::win32::UniqueGdiObject font_;
  movarin::win32::UniqueHandle<HIMAGELIST, NameListImagesTraits> images_;
  std::wstring cell_buffer_;  // text handed to the list view for one cell
  // Closed while a tick was inside the main window's search: hidden at once, destroyed
  // when that tick has returned.
  bool close_pending_ = false;
};

}  // namespace movarin::main_program
