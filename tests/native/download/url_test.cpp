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
  };
  for (const auto& c : cases) {
    std::string address = c.address;
    std::string path = "unchanged";
    SplitUrl(address, path);
    EXPECT_EQ(address, c.host) << c.address;
    EXPECT_EQ(path, c.path) << c.address;
  }
}

TEST(TrimAtNul, CutsAtTheFirstNul) {
  EXPECT_EQ(TrimAtNul(std::string("C:\\dir\0junk\0", 12)), "C:\\dir");
  EXPECT_EQ(TrimAtNul(std::string("\0abc", 4)), "");
  EXPECT_EQ(TrimAtNul("no nul at all"), "no nul at all");
}

}  // namespace
}  // namespace movarin::download
