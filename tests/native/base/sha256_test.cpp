#include "base/sha256.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/temp_folder.h"

namespace movarin::base {
namespace {

std::string HexOf(std::string_view message) {
  Sha256 hash;
  hash.Update(message);
  return Sha256ToHex(hash.Finish());
}

// The published FIPS 180 examples and the NIST test vectors.
TEST(Sha256Test, PublishedVectors) {
  struct Case {
    std::string message;
    std::string_view digest;
  };
  const std::vector<Case> cases = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopq"
       "rlmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HexOf(c.message), c.digest) << c.message.size() << " bytes";
  }
}

// However a message is split into updates, the digest is the same; the object starts a
// new message after Finish.
TEST(Sha256Test, DigestDoesNotDependOnHowTheMessageIsSplit) {
  std::mt19937 random(16);
  std::vector<std::uint8_t> message(5000);
  for (auto& b : message) b = static_cast<std::uint8_t>(random());
  const Sha256Digest whole = Sha256::Of(message);

  Sha256 hash;
  for (const std::size_t step : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 1024u, 4999u}) {
    for (std::size_t at = 0; at < message.size(); at += step) {
      hash.Update(std::span(message).subspan(at, std::min(step, message.size() - at)));
    }
    EXPECT_EQ(hash.Finish(), whole) << "steps of " << step;
  }
  for (int round = 0; round < 20; ++round) {
    std::size_t at = 0;
    while (at < message.size()) {
      const std::size_t take = std::min<std::size_t>(random() % 200, message.size() - at);
      hash.Update(std::span(message).subspan(at, take));
      at += take;
    }
    EXPECT_EQ(hash.Finish(), whole) << "random split " << round;
  }
}

// Debian's sha256sum as the independent implementation, around every padding boundary
// and on files of a few megabytes.
TEST(Sha256Test, AgreesWithSha256sum) {
  if (!test::CommandExists("sha256sum")) GTEST_SKIP() << "sha256sum is not installed";
  test::TempFolder folder("sha256");
  std::mt19937 random(256);
  for (const std::size_t size : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u,
                                 4096u + 7u, 3u * 1024u * 1024u + 13u}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    const std::string path = folder / ("f" + std::to_string(size));
    ASSERT_TRUE(test::WriteWholeFile(path, bytes));
    const test::CommandResult reference = test::Run({"sha256sum", path});
    ASSERT_EQ(reference.exit_code, 0) << reference.err;
    EXPECT_EQ(HexOf(bytes), reference.out.substr(0, kSha256HexDigits)) << size << " bytes";
  }
}

TEST(Sha256Test, HexTextRoundTripAndStrictParsing) {
  const Sha256Digest digest = Sha256::Of(std::vector<std::uint8_t>{1, 2, 3});
  const std::string text = Sha256ToHex(digest);
  EXPECT_EQ(text.size(), 64u);
  EXPECT_EQ(Sha256FromHex(text), digest);
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(Sha256FromHex(upper), digest);

  const std::string bad_texts[] = {
      "",
      text.substr(0, 63),
      text + "0",
      " " + text.substr(1),
      text.substr(0, 63) + "g",
      text.substr(0, 63) + "\n",
      text.substr(0, 62) + "+1",
      text.substr(0, 32) + std::string(1, '\0') + text.substr(33),
  };
  for (const std::string& bad : bad_texts) EXPECT_FALSE(Sha256FromHex(bad)) << bad;
}

}  // namespace
}  // namespace movarin::base
