#include "programs/main/sponsor_window/sponsor_logic.h"

namespace movarin::main_program {

std::string SponsorPageAddress(std::string_view server_base_url) {
  return std::string(server_base_url) + std::string(kSponsorPagePath);
}

void SponsorLogic::PageDeactivated() {
  if (went_on_ || closing_) return;
  // An empty address: the view shows nothing yet, the sponsor page is still on its way.
  const std::string address = host_.CurrentAddress();
  if (address.empty() || address == sponsor_address_) return;
  went_on_ = true;
  host_.ShowUpdateCheck();
  host_.HideWindow();
}

void SponsorLogic::Closing() {
  if (closing_) return;
  closing_ = true;
  if (!went_on_) host_.EndProgram();
}

}  // namespace movarin::main_program
