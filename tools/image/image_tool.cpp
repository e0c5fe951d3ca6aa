#include "tools/image/image_tool.h"

namespace movarin::tools {
namespace {

// The wanted icon size the owner-drawn button asks for.
constexpr int kButtonIconSize = 256;

int Usage(std::ostream& err) {
  err << "usage: movarin-image info <file>\n"
         "       movarin-image to-bmp <file> <out.bmp>\n";
  return 2;
}

bool Load(imaging::Bitmap32& bitmap, const std::string& file, std::ostream& err) {
  const auto loaded = bitmap.LoadFromFile(file, kButtonIconSize, kButtonIconSize, false);
  if (loaded) return true;
  err << "cannot load " << file << ": " << imaging::ImageErrorText(loaded.error()) << "\n";
  return false;
}

}  // namespace

int RunImageTool(const std::vector<std::string>& args, imaging::Bitmap32& bitmap, std::ostream& out,
                 std::ostream& err) {
  if (args.size() == 2 && args[0] == "info") {
    if (!Load(bitmap, args[1], err)) return 1;
    out << "Width: " << bitmap.Width() << "\n"
        << "Height: " << bitmap.Height() << "\n"
        << "Alpha: " << (bitmap.Alpha() ? "True" : "False") << "\n"
        << "ImageType: " << bitmap.ImageType() << "\n";
    return 0;
  }
  if (args.size() == 3 && args[0] == "to-bmp") {
    if (!Load(bitmap, args[1], err)) return 1;
    if (const auto saved = bitmap.SaveToFile(args[2], false); !saved) {
      err << "cannot write " << args[2] << ": " << imaging::ImageErrorText(saved.error()) << "\n";
      return 1;
    }
    return 0;
  }
  return Usage(err);
}

}  // namespace movarin::tools
