// Catalogues written by our writer, read back through the program's queries, and checked
// against mdb-export reading the same files.
#include <gtest/gtest.h>

#include <random>

#include "catalogue/catalogue.h"
#include "catalogue/entry_digest.h"
#include "catalogue/provider_errors.h"
#include "tools/catalog/writer/jet_writer.h"
#include "tests/native/catalogue/jet_test_files.h"

namespace movarin::catalogue {
namespace {

namespace writer = tools::catalog_writer;

using writer::CatalogueEntry;

std::vector<std::uint8_t> Build(const std::vector<CatalogueEntry>& entries,
                                const std::string& password = std::string(kCataloguePassword)) {
  writer::CatalogueOptions options;
  options.password = password;
  options.creation_date = 45000.25;
  auto image = writer::BuildCatalogueImage(entries, options);
  if (!image) {
    ADD_FAILURE() << image.error().Message();
    return {};
  }
  return std::move(*image);
}

Connection OpenImage(std::vector<std::uint8_t> image) {
  auto opened = Connection::OpenBytes(std::move(image), kCataloguePassword, "database.mdb");
  if (!opened) {
    ADD_FAILURE() << opened.error().description;
    throw std::runtime_error("open failed");
  }
  return std::move(*opened);
}

std::vector<std::string> Names(const base::Result<RecordSet, ProviderError>& result) {
  if (!result) return {"error: " + result.error().description};
  const auto& rows = *result;
  std::vector<std::string> names;
  for (std::size_t r = 0; r < rows.RecordCount(); ++r) names.emplace_back(rows.Field(r, 0));
  return names;
}

const std::vector<CatalogueEntry> kSmall = {
    {"MSCOMCTL.OCX", "6.1.98.34"}, {"comdlg32.ocx", "6.1.97.82"}, {"O'Brien.ocx", "1.0"},
    {"o'brien2.dll", ""},          {"\xC3\x84rger.dll", "2.0"},   {"\xC3\xA4rger2.dll", "2.1"},
    {"100%.dll", "1"},             {"under_score.dll", "3"},      {"[bracket].ocx", "4"},
    {"co-op.dll", "5"},            {"coop.dll", "6"},             {"actbar.ocx", "7"},
    {"ACTBAR2.OCX", "8"},          {"a b.dll", "9"},              {"\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2.dll", "10"},
};

TEST(WriterRoundTrip, SearchesAndTheWholeCatalogue) {
  const Connection connection = OpenImage(Build(kSmall));
  EXPECT_EQ(connection.TableNames(), std::vector<std::string>{"Files"});

  struct Case {
    std::string typed;
    std::vector<std::string> found;  // in database order
  };
  const Case cases[] = {
      {"act", {"actbar.ocx", "ACTBAR2.OCX"}},
      {"ACT", {"actbar.ocx", "ACTBAR2.OCX"}},
      {"o'b", {"O'Brien.ocx", "o'brien2.dll"}},  // the apostrophe is searched for
      {"'", {}},
      {"\xC3\xA4", {"\xC3\x84rger.dll", "\xC3\xA4rger2.dll"}},
      {"\xD0\xBA", {"\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2.dll"}},
      {"co", {"comdlg32.ocx", "co-op.dll", "coop.dll"}},
      {"100", {"100%.dll"}},
      {"[u]", {"under_score.dll"}},
      {"[[]", {"[bracket].ocx"}},
      {"a b", {"a b.dll"}},
      {"zzz", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Names(connection.Execute(SearchQuery(c.typed))), c.found) << c.typed;
  }
  // "%" is a wildcard: it lists everything, in database order.
  std::vector<std::string> all;
  for (const auto& e : kSmall) all.push_back(e.filename);
  EXPECT_EQ(Names(connection.Execute(SearchQuery("%"))), all);
  // "_" is one character.
  EXPECT_EQ(Names(connection.Execute(SearchQuery("_b"))),
            (std::vector<std::string>{"[bracket].ocx"}));
  // An unclosed list cannot run; the program gets an error, not a crash or empty success.
  auto invalid = connection.Execute(SearchQuery("[b"));
  ASSERT_TRUE(!invalid.ok());

  EXPECT_EQ(Names(connection.Execute(kWholeCatalogueQuery)),
            (std::vector<std::string>{"[bracket].ocx", "100%.dll", "a b.dll", "actbar.ocx",
                                      "ACTBAR2.OCX", "\xC3\x84rger.dll", "\xC3\xA4rger2.dll",
                                      "comdlg32.ocx", "co-op.dll", "coop.dll", "MSCOMCTL.OCX",
                                      "O'Brien.ocx", "o'brien2.dll", "under_score.dll",
                                      "\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2.dll"}));
  auto versions = connection.Execute(SearchQuery("ms"));
  ASSERT_TRUE(versions.ok());
  EXPECT_EQ(versions->Field(0, 1), "6.1.98.34");
  EXPECT_EQ(versions->FieldCount(), 2u);
}

TEST(WriterRoundTrip, SmallCatalogueExportsAsMdbExport) {
  // Includes an empty version: mdb-export prints an empty text as nothing at all.
  test::TempFolder dir;
  const auto path = std::filesystem::path(dir.path()) / "database.mdb";
  test::WriteBytes(path, Build(kSmall));
  auto opened = Connection::Open(path.string(), kCataloguePassword);
  ASSERT_TRUE(opened.ok());
  auto csv = opened->ExportCsv("Files");
  ASSERT_TRUE(csv.ok());
  EXPECT_EQ(*csv, test::MdbExport(path, "Files"));
  EXPECT_NE(csv->find("\n\"o'brien2.dll\",\n"), std::string::npos);
}

// The sha256 column: after the first two, which queries and positional readers see as
// before; every row's digest (NULL for an entry without one) read back by us and by
// mdb-export. Without the column there is no digest, and a sha256 written in any case
// is stored in lower case.
TEST(WriterRoundTrip, Sha256ColumnWithAndWithout) {
  std::vector<CatalogueEntry> entries = kSmall;
  const std::string upper(64, 'F');
  const std::string lower(64, 'f');
  entries[1].sha256 = upper;  // comdlg32.ocx
  entries[3].sha256 = "0123456789abcdef0123456789ABCDEF0123456789abcdef0123456789abcdef";
  test::TempFolder dir;
  const auto path = std::filesystem::path(dir.path()) / "database.mdb";
  test::WriteBytes(path, Build(entries));
  auto opened = Connection::Open(path.string(), kCataloguePassword);
  ASSERT_TRUE(opened.ok());
  auto rows = opened->Execute(SearchQuery("co"));
  ASSERT_TRUE(rows.ok());
  ASSERT_EQ(Names(rows), (std::vector<std::string>{"comdlg32.ocx", "co-op.dll", "coop.dll"}));
  EXPECT_EQ(rows->FieldCount(), 3u);
  EXPECT_EQ(Sha256Column(*rows), 2u);
  EXPECT_EQ(rows->Field(0, 1), "6.1.97.82");
  EXPECT_EQ(EntrySha256Text(*rows, 0), lower);
  EXPECT_EQ(EntrySha256Text(*rows, 1), "");
  auto all = opened->Execute(kWholeCatalogueQuery);
  ASSERT_TRUE(all.ok());
  std::size_t with_digest = 0;
  for (std::size_t r = 0; r < all->RecordCount(); ++r) with_digest += !EntrySha256Text(*all, r).empty();
  EXPECT_EQ(with_digest, 2u);
  const std::string csv = test::MdbExport(path, "Files");
  EXPECT_EQ(*opened->ExportCsv("Files"), csv);
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "Filename,Version,sha256");
  EXPECT_NE(csv.find("\"comdlg32.ocx\",\"6.1.97.82\",\"" + lower + "\"\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\"o'brien2.dll\",,\"0123456789abcdef0123456789abcdef"), std::string::npos) << csv;

  const Connection without = OpenImage(Build(kSmall));
  auto plain = without.Execute(kWholeCatalogueQuery);
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain->FieldCount(), 2u);
  EXPECT_EQ(Sha256Column(*plain), kNoColumn);
  EXPECT_EQ(EntrySha256Text(*plain, 0), "");

  entries[0].sha256 = "not a digest";
  writer::CatalogueOptions options;
  const auto refused = writer::BuildCatalogueImage(entries, options);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().error, writer::WriteError::kBadSha256);
  EXPECT_EQ(refused.error().row, 1u);
}

TEST(WriterRoundTrip, PasswordOfAWrittenFile) {
  const auto image = Build(kSmall, "s3cret");
  EXPECT_TRUE(Connection::OpenBytes(image, "s3cret", "f").ok());
  auto wrong = Connection::OpenBytes(image, kCataloguePassword, "f");
  ASSERT_TRUE(!wrong.ok());
  EXPECT_EQ(wrong.error().description, "Not a valid password.");
  // Without a password, any password opens it.
  EXPECT_TRUE(Connection::OpenBytes(Build(kSmall, ""), "x", "f").ok());
}

std::vector<CatalogueEntry> Generated(std::size_t count) {
  const std::vector<std::string> heads = {"ms", "Act", "com", "VB", "o'", "x", "Q", "\xC3\xA9t\xC3\xA9"};
  std::mt19937 random(17);
  std::vector<CatalogueEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    std::string name = heads[random() % heads.size()];
    const int letters = 2 + static_cast<int>(random() % 8);
    for (int k = 0; k < letters; ++k) name.push_back(static_cast<char>('a' + random() % 26));
    name += std::to_string(i) + ((random() % 2) ? ".ocx" : ".DLL");
    entries.push_back({name, std::to_string(random() % 10) + ".0." + std::to_string(i % 1000)});
  }
  return entries;
}

std::string AsciiLower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(WriterRoundTrip, HundredThousandRowsSearchedAndExported) {
  const auto entries = Generated(100000);
  const auto image = Build(entries);
  test::TempFolder dir;
  const auto path = std::filesystem::path(dir.path()) / "database.mdb";
  test::WriteBytes(path, image);
  auto opened = Connection::Open(path.string(), kCataloguePassword);
  ASSERT_TRUE(opened.ok());
  const Connection& connection = *opened;

  std::mt19937 random(3);
  for (int i = 0; i < 60; ++i) {
    std::string typed = AsciiLower(entries[random() % entries.size()].filename.substr(0, 1 + random() % 4));
    // Typed text is whole characters: drop a cut-off UTF-8 sequence.
    while (!typed.empty() && static_cast<unsigned char>(typed.back()) >= 0x80 &&
           static_cast<unsigned char>(typed.back()) < 0xC0 && typed.size() % 2 == 0) {
      typed.pop_back();
    }
    while (!typed.empty() && static_cast<unsigned char>(typed.back()) >= 0xC0) typed.pop_back();
    std::vector<std::string> expected;
    for (const auto& e : entries) {
      if (AsciiLower(e.filename).rfind(typed, 0) == 0) expected.push_back(e.filename);
    }
    EXPECT_EQ(Names(connection.Execute(SearchQuery(typed))), expected) << typed;
  }
  auto whole = connection.Execute(kWholeCatalogueQuery);
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(whole->RecordCount(), entries.size());

  // The same file through mdbtools: byte for byte the same CSV.
  auto csv = connection.ExportCsv("Files");
  ASSERT_TRUE(csv.ok());
  EXPECT_TRUE(*csv == test::MdbExport(path, "Files"));
}

}  // namespace
}  // namespace movarin::catalogue
