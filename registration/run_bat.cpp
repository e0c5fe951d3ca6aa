#include "registration/run_bat.h"

#include <array>

namespace movarin::registration {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The regsvr32 lines, in the order they are written, each with the silent toggle that
// asks for it.
struct Regsvr32Line {
  bool SilentOption::*toggle;
  std::string_view command;  // everything before the quoted path, its blank included
};
constexpr std::array<Regsvr32Line, 2> kRegsvr32Lines{{
    {&SilentOption::no, "regsvr32 "},
    {&SilentOption::yes, "regsvr32 /s "},
}};

std::string Quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += kQuote;
  out += text;
  out += kQuote;
  return out;
}

}  // namespace

std::string RunBatText(std::string_view source_path, std::string_view file_name,
                       SilentOption silent) {
  std::string text = "copy " + Quoted(source_path) + " " + Quoted(kSystemFolder);
  text += kLineEnd;
  const std::string copied_file = std::string(kSystemFolder) + "\\" + std::string(file_name);
  for (const Regsvr32Line& line : kRegsvr32Lines) {
    if (!(silent.*line.toggle)) continue;
    text += line.command;
    text += Quoted(copied_file);
    text += kLineEnd;
  }
  return text;
}

}  // namespace movarin::registration
