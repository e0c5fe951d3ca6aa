// The sponsor window's decision: when losing activation leads on to the update check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/main/sponsor_window/sponsor_logic.h"

namespace movarin::main_program {
namespace {

using Log = std::vector<std::string>;

class RecordingWindow : public SponsorHost {
 public:
  std::string address;
  Log log;
  std::string CurrentAddress() override { return address; }
  void ShowUpdateCheck() override { log.push_back("show update check"); }
  void HideWindow() override { log.push_back("hide"); }
  void EndProgram() override { log.push_back("end program"); }
};

constexpr const char* kPage = "http://127.0.0.1:8080/Ads2.htm";

TEST(SponsorLogic, TheAddressOfTheSponsorPage) {
  EXPECT_EQ(SponsorPageAddress("http://127.0.0.1:8080/"), kPage);
}

TEST(SponsorLogic, GoesOnOnceTheViewHasLeftTheSponsorPage) {
  struct Case {
    const char* address;
    bool goes_on;
  };
  const Case cases[] = {
      {kPage, false},                                 // still on the page
      {"", false},                                    // the page is still on its way
      {"http://127.0.0.1:8080/sponsor.htm", true},    // a followed link
      {"about:error", true},                          // the page could not be fetched
      {"http://127.0.0.1:8080/Ads2.htm#top", true},   // any other address
      {"HTTP://127.0.0.1:8080/Ads2.htm", true},
  };
  for (const Case& c : cases) {
    RecordingWindow window;
    SponsorLogic logic(window, kPage);
    window.address = c.address;
    logic.PageDeactivated();
    EXPECT_EQ(logic.WentOn(), c.goes_on) << c.address;
    const Log expected = c.goes_on ? Log{"show update check", "hide"} : Log{};
    EXPECT_EQ(window.log, expected) << c.address;
  }
}

TEST(SponsorLogic, LaterDeactivationsAndTheCloseChangeNothingOnceGoneOn) {
  RecordingWindow window;
  SponsorLogic logic(window, kPage);
  window.address = kPage;
  logic.PageDeactivated();
  window.address = "http://127.0.0.1:8080/sponsor.htm";
  logic.PageDeactivated();
  logic.PageDeactivated();  // the hidden window loses the focus again
  logic.Closing();          // the program ends and destroys the hidden window
  EXPECT_EQ(window.log, (Log{"show update check", "hide"}));
}

TEST(SponsorLogic, ClosingWithoutGoingOnEndsTheProgram) {
  RecordingWindow window;
  SponsorLogic logic(window, kPage);
  window.address = "http://127.0.0.1:8080/sponsor.htm";
  logic.Closing();
  // The focus leaves the page while the window is being destroyed: nothing opens.
  logic.PageDeactivated();
  logic.Closing();
  EXPECT_EQ(window.log, Log{"end program"});
}

}  // namespace
}  // namespace movarin::main_program
