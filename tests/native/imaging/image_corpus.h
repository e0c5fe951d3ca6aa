#pragma once
// The pictures make_images.py writes at build time, with the pixels an independent
// decoder read from each.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace movarin::imaging::testing {

struct CorpusCase {
  std::string name;
  std::filesystem::path file;
  int wanted_width = 0;
  int wanted_height = 0;
  std::int32_t image_type = 0;
  int tolerance = 0;
  std::vector<std::uint8_t> expected;  // premultiplied BGRA, top-down
  int width = 0;
  int height = 0;
};

// Empty with `error` set when the generator could not run.
const std::vector<CorpusCase>& Corpus(std::string& error);

}  // namespace movarin::imaging::testing
