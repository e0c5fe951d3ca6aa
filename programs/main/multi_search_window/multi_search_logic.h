#pragma once
// What the multiple-file search window decides: the list of names with its header
// count, Add, Remove, Clear, and the walk that hands the names one by one to the main
// window's ordinary search. The walk copies the list into a hidden work list when it
// starts and moves on, one name per tick of a 400 ms timer, whenever the program-wide
// flag says the previous name is dealt with. The Windows window shows what this says.
//
// Re-entrancy: the main window's search runs inside a tick, and a download it starts
// runs to its end inside that search while the download engine processes window
// messages, so further ticks arrive inside the first one. During the download they find
// the flag at "no". Between the end of the download (the flag turns "yes") and the
// return of the first tick, a tick could hand over the next name while the download
// dialog is still inside its first download, and a hit there would ask the dialog for a
// second download it cannot start (the name would be lost and the walk would wait for a
// flag nobody sets). So a tick that arrives while a name is being handed over does
// nothing at all and leaves the flag as it is: the walk goes on with the first tick
// after the hand-over has returned. No download is ever asked for while one runs.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "programs/main/program_state.h"

namespace movarin::multi_search {

inline constexpr std::string_view kInitialHeader = "File Name";
inline constexpr std::string_view kHeaderPrefix = "File name: ";
inline constexpr std::string_view kAddPrompt = "Please type dll or ocx file name:";
inline constexpr std::string_view kAddTitle = "dll or ocx file name";
inline constexpr std::string_view kEmptyListMessage =
    "The list is empty. Please add ocx or dll files before attempting to search";
inline constexpr unsigned kWalkIntervalMs = 400;

class MultiSearchHost {
 public:
  virtual ~MultiSearchHost() = default;
  // The input box with this prompt and title and an empty default; the empty text when
  // the user cancels.
  virtual std::string AskForName(std::string_view prompt, std::string_view title) = 0;
  // The name list must show Names() again.
  virtual void NamesChanged() = 0;
  virtual void SetColumnHeader(std::string_view text) = 0;
  // An information box with the program's title.
  virtual void ShowInformation(std::string_view text) = 0;
  virtual void EnableWalkTimer(bool enabled) = 0;
  // Writes the name into the main window's search box and signals it to search;
  // returns when the main window's search (and any download it started) has returned.
  virtual void SearchInMainWindow(const std::string& name) = 0;
};

class MultiSearchLogic {
 public:
  MultiSearchLogic(MultiSearchHost& host, main_program::ProgramState& state) : host_(host), state_(state) {}

  // Asks for a name and appends it exactly as typed (duplicates allowed); the empty
  // answer adds nothing.
  void AddPressed();
  // Removes the selected row, if any; the header is set again either way.
  void RemovePressed(std::optional<std::size_t> selected_row);
  void ClearPressed();
  // Starts (or restarts) the walk from the first name; on an empty list, the message.
  void SearchPressed();
  void WalkTimerTick();
  // The window closes: an ongoing walk ends with it.
  void Closing();

  const std::vector<std::string>& Names() const { return names_; }
  std::string ColumnHeader() const;
  bool Walking() const { return walking_; }
  // The hidden work list and its current index (-1 before the first name).
  const std::vector<std::string>& WorkList() const { return work_list_; }
  int CurrentIndex() const { return current_; }
  // True while a tick is inside the main window's search (and any download it started).
  bool HandingOver() const { return handing_over_; }

 private:
  void NamesEdited(bool changed);
  void EndWalk();

  MultiSearchHost& host_;
  main_program::ProgramState& state_;
  std::vector<std::string> names_;
  std::vector<std::string> work_list_;
  int current_ = -1;
  bool walking_ = false;
  bool handing_over_ = false;
};

}  // namespace movarin::multi_search
