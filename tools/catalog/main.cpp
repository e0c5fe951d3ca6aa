// movarin-catalog for Linux: the arguments are already UTF-8.
#include <iostream>
#include <string>
#include <vector>

#include "tools/catalog/catalog_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = movarin::tools::RunCatalogTool(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
