// movarin-image for Linux: the portable loader alone.
#include <iostream>

#include "tools/image/image_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  movarin::imaging::Bitmap32 bitmap;
  return movarin::tools::RunImageTool(args, bitmap, std::cout, std::cerr);
}
