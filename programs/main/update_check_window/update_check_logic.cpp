#include "programs/main/update_check_window/update_check_logic.h"

#include "updates/update_reply.h"

namespace movarin::main_program {

namespace {

// A version part: 1 to 5 digits and nothing else (each part of a file version is 16
// bits).
std::optional<int> VersionPart(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<std::int16_t> LocalVersionFromFileVersion(std::string_view file_version) {
  const std::size_t first_dot = file_version.find('.');
  if (first_dot == std::string_view::npos) return std::nullopt;
  const std::string_view rest = file_version.substr(first_dot + 1);
  const auto major = VersionPart(file_version.substr(0, first_dot));
  const auto minor = VersionPart(rest.substr(0, rest.find('.')));
  if (!major || !minor) return std::nullopt;
  return updates::LocalVersionNumber(*major, *minor);
}

void UpdateCheckLogic::Check() {
  if (checking_ || went_on_ || closed_ || ending_) return;
  checking_ = true;
  const std::optional<std::string> reply = host_.FetchReply();
  host_.ProcessMessagesOnce();
  checking_ = false;
  // The window may have been closed (or "Update" pressed) while the reply was awaited.
  if (closed_ || ending_) return;
  const updates::UpdateCheckStep step = updates::DecideUpdateCheck(reply, local_version_);
  if (step.label) host_.SetLabel(*step.label);
  if (step.outcome == updates::UpdateCheckOutcome::kGoOn) {
    went_on_ = true;
    host_.ShowDatabaseUpdate();
    host_.CloseWindow();
  }
}

void UpdateCheckLogic::Update() {
  if (ending_) return;
  ending_ = true;
  host_.StartUpdater();
  host_.EndProgram();
}

void UpdateCheckLogic::Closed() {
  if (closed_) return;
  closed_ = true;
  if (!went_on_ && !ending_) host_.EndProgram();
}

}  // namespace movarin::main_program
