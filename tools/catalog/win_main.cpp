// movarin-catalog for Windows: wide arguments become UTF-8, and the console shows UTF-8.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "tools/catalog/catalog_tool.h"

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(movarin::win32::Narrow(argv[i]));
  const int status = movarin::tools::RunCatalogTool(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
