#include "tests/native/imaging/image_corpus.h"

#include <fstream>
#include <sstream>

#include "tests/support/files.h"

namespace movarin::imaging::testing {
namespace {

struct Generated {
  std::vector<CorpusCase> cases;
  std::string error;
};

Generated Load() {
  Generated g;
  // Written at build time by make_images.py (see CMakeLists.txt).
  const std::filesystem::path folder = MOVARIN_IMAGING_TEST_IMAGES;
  std::ifstream manifest(folder / "manifest.txt");
  if (!manifest) {
    g.error = "no " + (folder / "manifest.txt").string() + ": build the imaging_test_images target";
    return g;
  }
  std::string line;
  while (std::getline(manifest, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    CorpusCase c;
    std::string file, expected;
    std::getline(fields, c.name, '\t');
    std::getline(fields, file, '\t');
    fields >> c.wanted_width >> c.wanted_height >> c.image_type >> c.tolerance >> expected >> c.width >> c.height;
    c.file = folder / file;
    c.expected = movarin::test::ReadBytes(folder / expected);
    g.cases.push_back(std::move(c));
  }
  if (g.cases.empty()) g.error = "the generator wrote no pictures";
  return g;
}

}  // namespace

const std::vector<CorpusCase>& Corpus(std::string& error) {
  static const Generated generated = Load();
  error = generated.error;
  return generated.cases;
}

}  // namespace movarin::imaging::testing
