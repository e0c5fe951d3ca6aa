// movarin-image for Windows: the loader with its DIB section and the system picture
// loader for what our parsers do not read (JPEG, WMF, EMF).
#include <windows.h>

#include <iostream>

#include "imaging/win32/bitmap32.h"
#include "platform/win32/text.h"
#include "tools/image/image_tool.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(movarin::win32::Narrow(argv[i]));
  movarin::imaging::win32::Bitmap32 bitmap;
  return movarin::tools::RunImageTool(args, bitmap, std::cout, std::cerr);
}
