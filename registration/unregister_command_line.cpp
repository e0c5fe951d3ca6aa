#include "registration/unregister_command_line.h"

#include "registration/name_check.h"

namespace movarin::registration {

std::string AsOneArgument(std::string_view file_text) {
  const bool has_blank = file_text.find_first_of(" \t") != std::string_view::npos;
  if (!has_blank || IsEnclosedInQuotes(file_text)) return std::string(file_text);
  std::string quoted;
  quoted.reserve(file_text.size() + 2);
  quoted += '"';
  quoted += file_text;
  quoted += '"';
  return quoted;
}

std::string UnregisterCommandLine(bool silent, std::string_view file_text) {
  return std::string(silent ? kUnregisterSilently : kUnregister) + AsOneArgument(file_text);
}

}  // namespace movarin::registration
