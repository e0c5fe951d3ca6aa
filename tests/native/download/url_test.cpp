#include <gtest/gtest.h>

#include <string>

#include "download/url.h"

namespace movarin::download {
namespace {

struct NameCase {
  const char* address;
  const char* name;
};

TEST(FileNameFromUrl, TakesTheNameAfterTheLastSlashWhenItHasADot) {
  const NameCase cases[] = {
      {"http://127.0.0.1:8080/files/ACTSKIN4.OCX", "ACTSKIN4.OCX"},
      {"http://host/files/a.b.dll", "a.b.dll"},
      {"http://host/files/", ""},            // ends in "/": a folder
      {"http://host/files/README", ""},      // no dot
      {"http://host/files/name.", ""},       // a dot in last place only
      {"http://host/files/.hidden", ".hidden"},
      {"http://host.example", "host.example"},  // the host is the last part
      {"http://host", ""},
      {"http://", ""},
      {"HTTP://host/a.dll", ""},  // the prefix is compared case-sensitively
      {"ftp://host/a.dll", ""},
      {"host/a.dll", ""},
      {"h", ""},
      {"", ""},
      {"http://host/dir.d/", "dir.d/"},  // the last character is not searched for "/"
      {"https://127.0.0.1:8443/files/ACTSKIN4.OCX", "ACTSKIN4.OCX"},
      {"https://host/files/", ""},
      {"https://host", ""},
      {"https://", ""},
      {"https:/", ""},
      {"HTTPS://host/a.dll", ""},
      {"httpss://host/a.dll", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameFromUrl(c.address), c.name) << c.address;
}

TEST(FileNameFromUrl, PlainNamesOnlyWhenJoinedToAFolder) {
  const NameCase cases[] = {
      {"http://host/files/ACTSKIN4.OCX", "ACTSKIN4.OCX"},
      {"http://host/files/..\\..\\evil.dll", ""},
      {"http://host/files/C:evil.dll", ""},
      {"http://host/dir.d/", ""},
      {"http://host/files/..", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainFileNameFromUrl(c.address), c.name) << c.address;

  for (const char* bad : {"", ".", "..", "a\\b.dll", "a/b.dll", "C:b.dll", "a\tb.dll"}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
  for (const char* good : {"a.dll", "...", "..a", "name with spaces.ocx", "Ünï.dll"}) {
    EXPECT_TRUE(IsPlainFileName(good)) << good;
  }
  EXPECT_FALSE(IsPlainFileName(std::string("a\0b.dll", 7)));
}

TEST(SplitUrl, SeparatesHostAndPath) {
  struct Case {
    const char* address;
    const char* host;
    const char* path;
  };
  const Case cases[] = {
      {"http://host:8080/dir/f.mdb", "host:8080", "/dir/f.mdb"},
      {"http://host/", "host", "/"},
      {"host/a/b", "host", "/a/b"},
      {"http://host", "host", "unchanged"},  // no path: only the prefix goes
      {"HTTP://host/x", "HTTP:", "//host/x"},
      {"", "", "unchanged"},
      {"https://host:8443/dir/f.mdb", "host:8443", "/dir/f.mdb"},
      {"https://host", "host", "unchanged"},
      {"https:/host/x", "https:", "/host/x"},
  };
  for (const auto& c : cases) {
    std::string address = c.address;
    std::string path = "unchanged";
    SplitUrl(address, path);
    EXPECT_EQ(address, c.host) << c.address;
    EXPECT_EQ(path, c.path) << c.address;
  }
}

TEST(IsSecureAddress, OnlyTheHttpsPrefix) {
  EXPECT_TRUE(IsSecureAddress("https://h/database.mdb"));
  for (const char* plain : {"http://h/database.mdb", "HTTPS://h/", "https:/h", "", "h/https://"}) {
    EXPECT_FALSE(IsSecureAddress(plain)) << plain;
  }
}

TEST(ParseServerAddress, SchemeDecidesEncryptionAndDefaultPort) {
  struct Case {
    const char* url;
    bool secure;
    const char* host;
    int port;
    const char* path;
  };
  const Case cases[] = {
      {"http://h/files/a.ocx", false, "h", 80, "/files/a.ocx"},
      {"https://h/files/a.ocx", true, "h", 443, "/files/a.ocx"},
      {"https://127.0.0.1:8443/database.mdb", true, "127.0.0.1", 8443, "/database.mdb"},
      {"http://127.0.0.1:443/x", false, "127.0.0.1", 443, "/x"},  // the written port wins
      {"https://h:80/x", true, "h", 80, "/x"},
      {"HTTPS://Host.Example/x", true, "Host.Example", 443, "/x"},
      {"HtTp://h", false, "h", 80, "/"},
      {"https://h", true, "h", 443, "/"},
      {"https://h:/x", true, "h", 443, "/x"},  // an empty port is the default one
      {"https://h?a=1", true, "h", 443, "/?a=1"},
      {"https://h/checkversion.php?x=1#top", true, "h", 443, "/checkversion.php?x=1"},
      {"https://user:pw@h:8443/x", true, "h", 8443, "/x"},
      {"https://[::1]:8443/x", true, "::1", 8443, "/x"},
      {"http://[::1]/x", false, "::1", 80, "/x"},
      {"https://h:65535/", true, "h", 65535, "/"},
  };
  for (const auto& c : cases) {
    const auto parts = ParseServerAddress(c.url);
    ASSERT_TRUE(parts) << c.url;
    EXPECT_EQ(parts->secure, c.secure) << c.url;
    EXPECT_EQ(parts->host, c.host) << c.url;
    EXPECT_EQ(parts->port, c.port) << c.url;
    EXPECT_EQ(parts->path, c.path) << c.url;
  }
}

TEST(ParseServerAddress, RefusesWhatNoRequestCanGoTo) {
  for (const char* bad : {"", "ftp://h/a", "file:///C:/a.dll", "https:/h/x", "https://", "https:///x",
                          "https://:8443/x", "https://h:0/x", "https://h:65536/x", "https://h:44x/",
                          "https://[::1/x", "https://[::1]x/", "h/a.dll", "httpsx://h/"}) {
    EXPECT_FALSE(ParseServerAddress(bad)) << bad;
  }
}

TEST(TrimAtNul, CutsAtTheFirstNul) {
  EXPECT_EQ(TrimAtNul(std::string("C:\\dir\0junk\0", 12)), "C:\\dir");
  EXPECT_EQ(TrimAtNul(std::string("\0abc", 4)), "");
  EXPECT_EQ(TrimAtNul("no nul at all"), "no nul at all");
}

}  // namespace
}  // namespace movarin::download
