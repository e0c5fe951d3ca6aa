// The catalogue's digest file as a server publishes it: what sha256sum writes is read,
// anything else is refused, and only a digest that is not published at all lets a
// catalogue through unchecked.
#include "updates/catalogue_digest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/files.h"

namespace movarin::updates {
namespace {

const std::string kHex = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

base::Result<base::Sha256Digest, DigestReplyError> Parse(const std::string& text) {
  return ParseCatalogueDigest(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(CatalogueDigestReply, ReadsWhatSha256sumWrites) {
  for (const std::string& text :
       {kHex, kHex + "\n", kHex + "\r\n", kHex + "  database.mdb\n", kHex + " *database.mdb\n",
        kHex + "\tsite/database.mdb", kHex + "  a name with spaces.mdb\r\n"}) {
    const auto parsed = Parse(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(base::Sha256ToHex(*parsed), kHex);
  }
  std::string upper = kHex;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(Parse(upper + "\n"));

  // The real tool's own output.
  if (!test::CommandExists("sha256sum")) return;
  test::TempFolder folder("digest");
  ASSERT_TRUE(test::WriteWholeFile(folder / "database.mdb", "catalogue bytes"));
  const auto line = test::RunShell("cd " + test::ShellQuote(folder.path()) + " && sha256sum database.mdb").out;
  const auto parsed = Parse(line);
  ASSERT_TRUE(parsed) << line;
  EXPECT_EQ(base::Sha256ToHex(*parsed), line.substr(0, 64));
}

TEST(CatalogueDigestReply, RefusesAnythingElse) {
  struct Case {
    std::string text;
    DigestReplyError error;
  };
  const std::vector<Case> cases = {
      {"", DigestReplyError::kNotADigest},
      {kHex.substr(0, 63), DigestReplyError::kNotADigest},
      {kHex.substr(0, 63) + "\n", DigestReplyError::kNotADigest},
      {"<html>" + kHex, DigestReplyError::kNotADigest},
      {" " + kHex, DigestReplyError::kNotADigest},
      {kHex + "0", DigestReplyError::kBadNamePart},
      {kHex + "x database.mdb", DigestReplyError::kBadNamePart},
      {kHex + "  a.mdb\n" + kHex + "  b.mdb\n", DigestReplyError::kBadNamePart},
      {kHex + "\n\n", DigestReplyError::kBadNamePart},
      {kHex + "  a\x01.mdb", DigestReplyError::kBadNamePart},
      {kHex + std::string(1, '\0'), DigestReplyError::kBadNamePart},
      {kHex + "  " + std::string(kMaxCatalogueDigestBytes, 'a'), DigestReplyError::kTooLarge},
  };
  for (const Case& c : cases) {
    const auto parsed = Parse(c.text);
    ASSERT_FALSE(parsed) << c.text;
    EXPECT_EQ(parsed.error(), c.error) << c.text;
    EXPECT_FALSE(DigestReplyErrorText(c.error).empty());
  }
}

TEST(CatalogueDigestReply, OnlyAMissingFileLetsTheCatalogueThroughUnchecked) {
  using Kind = CatalogueDigestAnswer::Kind;
  EXPECT_TRUE(ExpectedCatalogueDigest({Kind::kNotPublished, ""}).IsNone());
  const auto good = ExpectedCatalogueDigest({Kind::kAnswered, kHex + "  database.mdb\n"});
  ASSERT_NE(good.digest(), nullptr);
  EXPECT_EQ(base::Sha256ToHex(*good.digest()), kHex);
  EXPECT_TRUE(ExpectedCatalogueDigest({Kind::kAnswered, "<html>not found</html>"}).IsUnusable());
  EXPECT_TRUE(ExpectedCatalogueDigest({Kind::kFailed, kHex}).IsUnusable());
}

}  // namespace
}  // namespace movarin::updates
