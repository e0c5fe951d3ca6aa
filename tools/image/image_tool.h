#pragma once
// movarin-image: loads a picture with the image loader, as the buttons do, and reports
// what it found or writes it out as a 32-bit BMP.
#include <ostream>
#include <string>
#include <vector>

#include "imaging/bitmap32.h"

namespace movarin::tools {

// args without the program name. Returns the process exit code.
int RunImageTool(const std::vector<std::string>& args, imaging::Bitmap32& bitmap, std::ostream& out,
                 std::ostream& err);

}  // namespace movarin::tools
