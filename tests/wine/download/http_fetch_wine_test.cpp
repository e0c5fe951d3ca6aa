// The small HTTP fetch against the test server, and the update check's decision on what
// it brings back: an answer of any status is a reply, no answer at all is none.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "download/win32/http_fetch.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"
#include "updates/update_reply.h"

namespace movarin::download {
namespace {

using movarin::test::ControlServer;
using movarin::test::ResetServer;
using movarin::test::UrlEncode;
using updates::UpdateCheckOutcome;

win32::HttpFetch* g_fetch = nullptr;
void CALLBACK CancelFetch(HWND, UINT, UINT_PTR, DWORD) {
  if (g_fetch) g_fetch->Cancel();
}

class FetchAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = test::TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    ASSERT_TRUE(ResetServer());
  }
  void TearDown() override { ResetServer(); }

  // The reply as the update check sees it: the body of any answer, nullopt for none.
  std::optional<std::string> Reply() {
    auto fetched = fetch.Get(server + "checkversion.php", 64 * 1024);
    if (!fetched) return std::nullopt;
    return fetched->body;
  }

  std::string server;
  win32::HttpFetch fetch;
};

TEST_F(FetchAgainstServer, AnswersOfAnyStatusAreReplies) {
  auto page = fetch.Get(server + "Ads2.htm", 1 << 20);
  ASSERT_TRUE(page.ok()) << page.error().description;
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->content_type, "text/html");
  EXPECT_NE(page->body.find("<img src=\"sponsor.png\""), std::string::npos);

  auto missing = fetch.Get(server + "missing.htm", 1 << 20);
  ASSERT_TRUE(missing.ok());
  EXPECT_EQ(missing->status, 404);
  EXPECT_FALSE(missing->body.empty());

  // No answer, a cut-off body or one too large is no document.
  ASSERT_TRUE(ControlServer("set?path=/Ads2.htm&mode=close"));
  EXPECT_FALSE(fetch.Get(server + "Ads2.htm", 1 << 20).ok());
  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/Ads2.htm&mode=long-length&times=1"));
  EXPECT_FALSE(fetch.Get(server + "Ads2.htm", 1 << 20).ok());
  EXPECT_FALSE(fetch.Get(server + "Ads2.htm", 10).ok());
  EXPECT_FALSE(fetch.Get("http://127.0.0.1:9/Ads2.htm", 1 << 20).ok());
  EXPECT_TRUE(fetch.Get(server + "Ads2.htm", 1 << 20).ok());
}

TEST_F(FetchAgainstServer, TheUpdateCheckOnRealReplies) {
  struct Case {
    std::string control;
    UpdateCheckOutcome outcome;
  };
  const Case cases[] = {
      {"", UpdateCheckOutcome::kGoOn},  // the served file names version 2
      {"version?number=2", UpdateCheckOutcome::kGoOn},
      {"version?number=3", UpdateCheckOutcome::kOfferUpdate},
      {"version?number=10", UpdateCheckOutcome::kOfferUpdate},
      {"set?path=/checkversion.php&body=ccc3ddd", UpdateCheckOutcome::kWait},
      {"set?path=/checkversion.php&body=" + UrlEncode("checkupdates cccxddd"), UpdateCheckOutcome::kWait},
      {"set?path=/checkversion.php&mode=status&status=" + UrlEncode("404 Not Found"), UpdateCheckOutcome::kWait},
      {"set?path=/checkversion.php&mode=close", UpdateCheckOutcome::kGoOn},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(ResetServer());
    if (!c.control.empty()) {
      ASSERT_TRUE(ControlServer(c.control)) << c.control;
    }
    EXPECT_EQ(updates::DecideUpdateCheck(Reply(), updates::LocalVersionNumber(2, 0)).outcome, c.outcome)
        << c.control;
  }
  // Nothing listening at all: the check goes on.
  server = "http://127.0.0.1:9/";
  EXPECT_EQ(updates::DecideUpdateCheck(Reply(), 2).outcome, UpdateCheckOutcome::kGoOn);
}

TEST_F(FetchAgainstServer, CancelEndsAStalledFetchAtOnce) {
  ASSERT_TRUE(ControlServer("set?path=/Ads2.htm&mode=stall&bytes=10"));
  g_fetch = &fetch;
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, &CancelFetch);
  const auto start = std::chrono::steady_clock::now();
  auto result = fetch.Get(server + "Ads2.htm", 1 << 20);
  const auto took = std::chrono::steady_clock::now() - start;
  KillTimer(nullptr, timer);
  g_fetch = nullptr;
  EXPECT_FALSE(result.ok());
  EXPECT_LT(took, std::chrono::seconds(10));
  EXPECT_FALSE(fetch.Running());
}

}  // namespace
}  // namespace movarin::download
