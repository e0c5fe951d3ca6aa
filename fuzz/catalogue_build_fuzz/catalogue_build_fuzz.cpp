// Any byte string as the CSV given to `movarin-catalog build --from-csv`: the CSV reader
// and the writer must accept or refuse it cleanly, and whatever the writer accepts must
// read back unchanged through the catalogue reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/sha256.h"
#include "catalogue/catalogue.h"
#include "catalogue/entry_digest.h"
#include "tools/catalog/writer/catalogue_sources.h"
#include "tools/catalog/writer/jet_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace cat = movarin::catalogue;
  namespace wr = movarin::tools::catalog_writer;
  auto parsed = wr::ParseCatalogueCsv(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed) return 0;
  const std::vector<wr::CatalogueEntry>* entries = &parsed->entries;
  wr::CatalogueOptions options;
  options.sha256_column = parsed->has_sha256;
  options.creation_date = 45000.5;
  auto image = wr::BuildCatalogueImage(*entries, options);
  if (!image) return 0;

  auto opened = cat::Connection::OpenBytes(std::move(*image), options.password, "fuzz.mdb");
  if (!opened) std::abort();
  auto rows = opened->Execute("SELECT * FROM Files");
  if (!rows || rows->RecordCount() != entries->size()) std::abort();
  for (std::size_t i = 0; i < entries->size(); ++i) {
    if (rows->Field(i, 0) != (*entries)[i].filename || rows->Field(i, 1) != (*entries)[i].version) {
      std::abort();
    }
    const auto digest = movarin::base::Sha256FromHex((*entries)[i].sha256);
    const std::string stored(cat::EntrySha256Text(*rows, i));
    if ((digest ? movarin::base::Sha256ToHex(*digest) : std::string()) != stored) std::abort();
  }
  return 0;
}
