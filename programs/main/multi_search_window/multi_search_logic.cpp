#include "programs/main/multi_search_window/multi_search_logic.h"

namespace movarin::multi_search {

std::string MultiSearchLogic::ColumnHeader() const {
  return std::string(kHeaderPrefix) + std::to_string(names_.size());
}

void MultiSearchLogic::NamesEdited(bool changed) {
  if (changed) host_.NamesChanged();
  host_.SetColumnHeader(ColumnHeader());
}

void MultiSearchLogic::AddPressed() {
  std::string name = host_.AskForName(kAddPrompt, kAddTitle);
  if (name.empty()) return;
  names_.push_back(std::move(name));
  NamesEdited(true);
}

void MultiSearchLogic::RemovePressed(std::optional<std::size_t> selected_row) {
  const bool removes = selected_row && *selected_row < names_.size();
  if (removes) names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(*selected_row));
  NamesEdited(removes);
}

void MultiSearchLogic::ClearPressed() {
  names_.clear();
  NamesEdited(true);
}

void MultiSearchLogic::SearchPressed() {
  if (names_.empty()) {
    host_.ShowInformation(kEmptyListMessage);
    return;
  }
  state_.set_search_next(true);
  work_list_ = names_;
  current_ = -1;
  walking_ = true;
  host_.EnableWalkTimer(true);
}

void MultiSearchLogic::EndWalk() {
  walking_ = false;
  host_.EnableWalkTimer(false);
}

void MultiSearchLogic::WalkTimerTick() {
  // A tick inside a hand-over waits for it to return (see the header).
  if (!walking_ || handing_over_) return;
  if (!state_.search_next()) return;
  state_.set_search_next(false);
  if (current_ + 1 >= static_cast<int>(work_list_.size())) {
    // No next name: the walk ends silently (the flag stays "no").
    EndWalk();
    return;
  }
  ++current_;
  handing_over_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{handing_over_};
  // A copy: a Search press during the hand-over replaces the work list.
  const std::string name = work_list_[static_cast<std::size_t>(current_)];
  host_.SearchInMainWindow(name);
}

void MultiSearchLogic::Closing() {
  if (walking_) EndWalk();
}

}  // namespace movarin::multi_search
