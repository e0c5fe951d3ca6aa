// Where a redirect leads, and which ones are refused.
#include <gtest/gtest.h>

#include "download/redirect.h"

namespace movarin::download {
namespace {

TEST(Redirect, OnlyTheFiveRedirectStatusesAreFollowed) {
  for (const char* code : {"301", "302", "303", "307", "308"}) EXPECT_TRUE(IsRedirectStatus(code)) << code;
  for (const char* code : {"300", "304", "305", "306", "200", "404", "30", "3020", ""})
    EXPECT_FALSE(IsRedirectStatus(code)) << code;
}

TEST(Redirect, LocationsResolveAgainstTheCurrentAddress) {
  struct Case {
    const char* current;
    const char* location;
    const char* target;
  };
  const Case cases[] = {
      {"http://h:8080/files/a.ocx", "http://mirror/pub/a.ocx", "http://mirror/pub/a.ocx"},
      {"http://h/files/a.ocx", "HTTPS://Mirror:444/a.ocx", "https://Mirror:444/a.ocx"},
      {"http://h:8080/files/a.ocx", "//mirror/a.ocx", "http://mirror/a.ocx"},
      {"https://h/files/a.ocx", "//mirror/a.ocx", "https://mirror/a.ocx"},
      {"http://h:8080/files/a.ocx", "/mirror/a.ocx", "http://h:8080/mirror/a.ocx"},
      {"http://h:8080/files/a.ocx", "b.ocx", "http://h:8080/files/b.ocx"},
      {"http://h/files/a.ocx?x=1", "sub/b.ocx?y=2", "http://h/files/sub/b.ocx?y=2"},
      {"http://h/files/a.ocx?x=1", "?y=2", "http://h/files/a.ocx?y=2"},
      {"http://h", "b.ocx", "http://h/b.ocx"},
      {"http://h/files/a.ocx", "../other/./b.ocx", "http://h/other/b.ocx"},
      {"http://h/files/a.ocx", "/../../../etc/b.ocx", "http://h/etc/b.ocx"},
      {"http://h/files/a.ocx", "..", "http://h/"},
      {"http://h/files/a.ocx", "  /b.ocx#part ", "http://h/b.ocx"},
      {"http://h/files/a.ocx", "http://m/x?q=/../y", "http://m/x?q=/../y"},
  };
  for (const Case& c : cases) {
    const auto target = RedirectTarget(c.current, c.location);
    ASSERT_TRUE(target) << c.current << " -> " << c.location;
    EXPECT_EQ(*target, c.target) << c.current << " -> " << c.location;
  }
}

TEST(Redirect, HostileOrUnsafeLocationsAreRefused) {
  struct Case {
    const char* current;
    std::string location;
    RedirectRefusal refusal;
  };
  const Case cases[] = {
      {"http://h/a.ocx", "", RedirectRefusal::kNoLocation},
      {"http://h/a.ocx", "   ", RedirectRefusal::kNoLocation},
      {"http://h/a.ocx", "#top", RedirectRefusal::kNoLocation},
      {"https://h/a.ocx", "http://h/a.ocx", RedirectRefusal::kSecureToPlain},
      {"https://h/a.ocx", "HTTP://mirror/a.ocx", RedirectRefusal::kSecureToPlain},
      {"http://h/a.ocx", "ftp://h/a.ocx", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", "file:///C:/Windows/a.ocx", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", "javascript:alert(1)", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", "http:///a.ocx", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", "http:a.ocx", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", "///a.ocx", RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", std::string("/a\r\nSet-Cookie: x"), RedirectRefusal::kNotHttp},
      {"http://h/a.ocx", std::string("/a\0b", 4), RedirectRefusal::kNotHttp},
  };
  for (const Case& c : cases) {
    const auto target = RedirectTarget(c.current, c.location);
    ASSERT_FALSE(target) << c.location << " gave " << *target;
    EXPECT_EQ(target.error(), c.refusal) << c.location;
  }
  // From https to https, and from http to https, are followed.
  EXPECT_TRUE(RedirectTarget("https://h/a.ocx", "https://m/a.ocx"));
  EXPECT_TRUE(RedirectTarget("http://h/a.ocx", "https://m/a.ocx"));
}

}  // namespace
}  // namespace movarin::download
