// Which address a link or picture of the page leads to, and the view's current address.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pageview/page_address.h"

namespace movarin::pageview {
namespace {

constexpr std::string_view kPage = "http://127.0.0.1:8080/dir/Ads2.htm";

TEST(PageAddress, LinksResolveAgainstThePage) {
  struct Case {
    const char* reference;
    std::optional<std::string> followed;
  };
  const Case cases[] = {
      {"sponsor.htm", "http://127.0.0.1:8080/dir/sponsor.htm"},
      {"/top.htm", "http://127.0.0.1:8080/top.htm"},
      {"../up.htm", "http://127.0.0.1:8080/up.htm"},
      {"../../../above.htm", "http://127.0.0.1:8080/above.htm"},
      {"./a/../b.htm?x=1#f", "http://127.0.0.1:8080/dir/b.htm?x=1#f"},
      {"sub/", "http://127.0.0.1:8080/dir/sub/"},
      {"?q=2", "http://127.0.0.1:8080/dir/Ads2.htm?q=2"},
      {"#top", "http://127.0.0.1:8080/dir/Ads2.htm#top"},
      {"//other.example/x", "http://other.example/x"},
      {"HTTPS://Sponsor.example/Go", "https://Sponsor.example/Go"},
      {"http://sponsor.example", "http://sponsor.example/"},
      {"  http://sponsor.example/a  ", "http://sponsor.example/a"},
      {"mailto:ads@example.com", "mailto:ads@example.com"},
      // Characters another program could read as the end of its argument are encoded.
      {"http://x.example/a b\"c<d>", "http://x.example/a%20b%22c%3Cd%3E"},
      {"caf\xC3\xA9.htm", "http://127.0.0.1:8080/dir/caf%C3%A9.htm"},
      // Nothing but the web and mail is ever followed.
      {"javascript:alert(1)", std::nullopt},
      {"JavaScript:alert(1)", std::nullopt},
      {"java\tscript:alert(1)", std::nullopt},
      {"file:///C:/Windows/notepad.exe", std::nullopt},
      {"file://server/share/setup.exe", std::nullopt},
      {"ms-settings:privacy", std::nullopt},
      {"ftp://files.example/a.zip", std::nullopt},
      {"mailto:", std::nullopt},
      {"", std::nullopt},
      {" \t ", std::nullopt},
      {"http://", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveAddress(kPage, c.reference, LinkUse::kFollow), c.followed) << c.reference;
  }
  // Pictures come from the web only.
  EXPECT_EQ(ResolveAddress(kPage, "logo.png", LinkUse::kPicture), "http://127.0.0.1:8080/dir/logo.png");
  EXPECT_EQ(ResolveAddress(kPage, "https://cdn.example/l.gif", LinkUse::kPicture), "https://cdn.example/l.gif");
  EXPECT_EQ(ResolveAddress(kPage, "mailto:x@example.com", LinkUse::kPicture), std::nullopt);
  EXPECT_EQ(ResolveAddress(kPage, "file:///C:/a.png", LinkUse::kPicture), std::nullopt);
  // A secure page shows no picture fetched over a plain connection; its links may lead
  // anywhere on the web, as they open outside.
  constexpr std::string_view kSecurePage = "https://127.0.0.1:8443/Ads2.htm";
  EXPECT_EQ(ResolveAddress(kSecurePage, "sponsor.png", LinkUse::kPicture), "https://127.0.0.1:8443/sponsor.png");
  EXPECT_EQ(ResolveAddress(kSecurePage, "//cdn.example/l.gif", LinkUse::kPicture), "https://cdn.example/l.gif");
  EXPECT_EQ(ResolveAddress(kSecurePage, "http://cdn.example/l.gif", LinkUse::kPicture), std::nullopt);
  EXPECT_EQ(ResolveAddress(kSecurePage, "HTTP://cdn.example/l.gif", LinkUse::kPicture), std::nullopt);
  EXPECT_EQ(ResolveAddress(kSecurePage, "http://other.example/", LinkUse::kFollow), "http://other.example/");
  // A page that is not a web address has no relative links.
  EXPECT_EQ(ResolveAddress(kErrorPageAddress, "x.htm", LinkUse::kFollow), std::nullopt);
}

TEST(PageAddress, CurrentAddressFollowsShowsFailuresAndClicks) {
  PageAddresses addresses;
  addresses.StartLoading(std::string(kPage));
  EXPECT_EQ(addresses.current(), "");
  addresses.Shown();
  EXPECT_EQ(addresses.current(), kPage);

  // A link that is not followed leaves the address; a followed one becomes current.
  EXPECT_EQ(addresses.Click("javascript:void(0)"), std::nullopt);
  EXPECT_EQ(addresses.current(), kPage);
  EXPECT_EQ(addresses.Click("sponsor.htm"), "http://127.0.0.1:8080/dir/sponsor.htm");
  EXPECT_EQ(addresses.current(), "http://127.0.0.1:8080/dir/sponsor.htm");
  // Further links still resolve against the page on show.
  EXPECT_EQ(addresses.Click("other.htm"), "http://127.0.0.1:8080/dir/other.htm");
  EXPECT_EQ(addresses.page(), kPage);

  // A page that cannot be fetched: the error page's address, never the page's.
  addresses.StartLoading(std::string(kPage));
  addresses.Failed();
  EXPECT_EQ(addresses.current(), kErrorPageAddress);
  EXPECT_NE(addresses.current(), kPage);
  EXPECT_EQ(addresses.page(), kPage);  // what Refresh tries again
  addresses.StartLoading(std::string(kPage));
  addresses.Shown();
  EXPECT_EQ(addresses.current(), kPage);
}

}  // namespace
}  // namespace movarin::pageview
