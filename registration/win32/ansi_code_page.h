#pragma once
// Text in the system's ANSI code page, the code page the command interpreter reads a
// batch file in.
#include <optional>
#include <string>
#include <string_view>

namespace movarin::registration::win32 {

// The UTF-8 text in the ANSI code page, character for character; nullopt when some
// character has no exact form there (Windows would otherwise put a best-fit look-alike
// or a question mark in its place and the batch file would name another file), or when
// the text is not valid UTF-8.
std::optional<std::string> ToAnsiCodePage(std::string_view utf8);

}  // namespace movarin::registration::win32
