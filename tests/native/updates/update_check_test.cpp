// The update check's reply reading and decision, and the catalogue update's size rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "updates/catalogue_update.h"
#include "updates/update_reply.h"

namespace movarin::updates {
namespace {

using Outcome = UpdateCheckOutcome;

TEST(UpdateReply, VersionBetweenTheMarkers) {
  struct Case {
    std::string reply;
    std::optional<double> version;
  };
  const Case cases[] = {
      {"checkupdates ccc3ddd", 3},
      {"checkupdatesccc2ddd", 2},
      {"ccc10ddd checkupdates", 10},
      {"<html>checkupdates<br>ccc 2.5 ddd trailing ccc9ddd</html>", 2.5},
      {"checkupdates ccc\r\n4\r\nddd", 4},
      {"checkupdates ccc1e1ddd", 10},
      {"checkupdates ccc+3ddd", 3},
      {"checkupdates ccc-1ddd", -1},
      // The first "ddd" after the first "ccc" ends the number.
      {"checkupdates ddd7 ccc5ddd", 5},
      {"checkupdates ccc5dddd", 5},
      // No marker, or the marker in other letters.
      {"ccc3ddd", std::nullopt},
      {"CheckUpdates ccc3ddd", std::nullopt},
      // Damaged replies: no readable number between the delimiters.
      {"checkupdates", std::nullopt},
      {"checkupdates cccddd", std::nullopt},
      {"checkupdates ccc ddd", std::nullopt},
      {"checkupdates cccthreeddd", std::nullopt},
      {"checkupdates ccc3xddd", std::nullopt},
      {"checkupdates ccc3.ddd", 3},
      {"checkupdates ccc.5ddd", 0.5},
      {"checkupdates ccc.ddd", std::nullopt},
      {"checkupdates ccc1,5ddd", std::nullopt},
      {"checkupdates ccc3", std::nullopt},  // cut off before its end
      {"checkupdates 3ddd", std::nullopt},
      {"checkupdates ccc1e999ddd", std::nullopt},
      {"checkupdates ccc1e+ddd", std::nullopt},
      {"checkupdates ccc0x10ddd", std::nullopt},
      {"checkupdates ccc3\0ddd", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ServerVersion(c.reply), c.version) << c.reply;
  }
  EXPECT_EQ(ServerVersion(std::string("checkupdates ccc3\0ddd", 21)), std::nullopt);
}

TEST(UpdateReply, LocalVersionIsTheSumOfMajorAndMinor) {
  EXPECT_EQ(LocalVersionNumber(2, 0), 2);
  EXPECT_EQ(LocalVersionNumber(2, 5), 7);
  EXPECT_EQ(LocalVersionNumber(40000, 0), std::numeric_limits<std::int16_t>::max());
  EXPECT_EQ(LocalVersionNumber(-40000, 0), std::numeric_limits<std::int16_t>::min());
}

TEST(UpdateReply, WhatTheCheckDoes) {
  struct Case {
    std::optional<std::string> reply;
    Outcome outcome;
    std::optional<std::string_view> label;
  };
  namespace t = update_check_texts;
  const Case cases[] = {
      {"checkupdates ccc3ddd", Outcome::kOfferUpdate, t::kNewUpdates},
      {"checkupdates ccc2ddd", Outcome::kGoOn, t::kNoNewUpdates},
      {"checkupdates ccc2.0ddd", Outcome::kGoOn, t::kNoNewUpdates},
      {"checkupdates ccc2.01ddd", Outcome::kOfferUpdate, t::kNewUpdates},
      {"checkupdates ccc1ddd", Outcome::kGoOn, t::kNoNewUpdates},
      {"checkupdates ccc10ddd", Outcome::kOfferUpdate, t::kNewUpdates},  // as numbers, not texts
      {"ccc3ddd", Outcome::kWait, std::nullopt},
      {"<html><body>404 Not Found</body></html>", Outcome::kWait, std::nullopt},
      {"", Outcome::kWait, std::nullopt},  // an answer with an empty body
      {"checkupdates cccxddd", Outcome::kWait, std::nullopt},
      {std::nullopt, Outcome::kGoOn, t::kNoNewUpdates},  // no answer at all
  };
  for (const Case& c : cases) {
    const UpdateCheckStep step = DecideUpdateCheck(c.reply, 2);
    EXPECT_EQ(step.outcome, c.outcome) << c.reply.value_or("<no answer>");
    EXPECT_EQ(step.label, c.label) << c.reply.value_or("<no answer>");
  }
}

TEST(CatalogueUpdate, SizeDecisionTable) {
  using Decision = CatalogueDecision;
  struct Case {
    std::int64_t local;
    std::int64_t server;
    Decision decision;
    const char* local_field;
    const char* remote_field;
  };
  constexpr std::int64_t kFiveGiB = 5LL << 30;
  const Case cases[] = {
      {1'000'000, 1'000'500, Decision::kDownload, "1000000", "1000500"},
      {1'000'000, 1'000'000, Decision::kNoUpdate, "1000000", "1000000"},
      {1'000'000, 999'999, Decision::kNoUpdate, "1000000", "999999"},
      {-1, 1, Decision::kDownload, "-1", "1"},            // no local file: any server copy
      {-1, 0, Decision::kDownload, "-1", "Not available"},  // the size as reported
      {-1, -1, Decision::kNoUpdate, "-1", "Not available"},  // the server gave none
      {1'000'000, -1, Decision::kNoUpdate, "1000000", "Not available"},  // unreachable
      {1'000'000, 0, Decision::kNoUpdate, "1000000", "Not available"},
      {0, 1, Decision::kDownload, "0", "1"},
      // Beyond 32 bits, compared as the whole numbers.
      {kFiveGiB, kFiveGiB + 1, Decision::kDownload, "5368709120", "5368709121"},
      {kFiveGiB, 1'000'000, Decision::kNoUpdate, "5368709120", "1000000"},
      {(1LL << 32) + 5, 6, Decision::kNoUpdate, "4294967301", "6"},
  };
  for (const Case& c : cases) {
    const CatalogueCheck check = CheckCatalogueSizes(c.local, c.server);
    EXPECT_EQ(check.decision, c.decision) << c.local << " vs " << c.server;
    EXPECT_EQ(check.local_size_field, c.local_field);
    EXPECT_EQ(check.remote_size_field, c.remote_field);
    EXPECT_EQ(check.status, c.decision == Decision::kDownload ? database_update_texts::kNewUpdates
                                                               : database_update_texts::kNoNewUpdates);
  }
}

TEST(CatalogueUpdate, PortsAndProxyBoxes) {
  EXPECT_EQ(PortFromText("80"), 80);
  EXPECT_EQ(PortFromText(""), 0);
  EXPECT_EQ(PortFromText(" 8080 "), 8080);
  EXPECT_EQ(PortFromText("65535"), 65535);  // ports above 32767 are ports too
  EXPECT_EQ(PortFromText("41234"), 41234);
  EXPECT_EQ(PortFromText("65536"), std::nullopt);
  EXPECT_EQ(PortFromText("-1"), std::nullopt);
  EXPECT_EQ(PortFromText("8o"), std::nullopt);
  EXPECT_FALSE(ProxyBoxesEnabled(0));
  EXPECT_TRUE(ProxyBoxesEnabled(1));
  EXPECT_FALSE(ProxyBoxesEnabled(2));
  EXPECT_FALSE(ProxyBoxesEnabled(-1));
  EXPECT_EQ(PercentageText(57), "57 %");
}

}  // namespace
}  // namespace movarin::updates
