#pragma once
// The texts the register and unregister commands and the helper programs show, each in
// an information box titled with the program's name.
#include <string>
#include <string_view>

#include "registration/name_check.h"

namespace movarin::registration {

inline constexpr std::string_view kProgramTitle = "Movarin";
inline constexpr std::string_view kSelectOperatingSystem =
    "Please select your windows operating system.";
inline constexpr std::string_view kNoFileSelected = "There are no file selected.";
inline constexpr std::string_view kUnregisterFieldEmpty = "The dll or ocx file field is empty.";

// A file that must not be copied into the system folder: it is no Windows library, or
// it could not be read to find out.
std::string NotALibraryText(std::string_view source_path);
std::string CannotReadText(std::string_view source_path);
// A path or name that would change the command that runs.
std::string CannotRegisterNameText(std::string_view text, NameProblem problem);
std::string CannotUnregisterNameText(std::string_view text, NameProblem problem);

}  // namespace movarin::registration
