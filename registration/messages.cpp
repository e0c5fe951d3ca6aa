#include "registration/messages.h"

namespace movarin::registration {

std::string NotALibraryText(std::string_view source_path) {
  return "The file \"" + std::string(source_path) +
         "\" is not a DLL or OCX library. Nothing was copied or registered.";
}

std::string CannotReadText(std::string_view source_path) {
  return "The file \"" + std::string(source_path) +
         "\" cannot be read. Nothing was copied or registered.";
}

std::string CannotRegisterNameText(std::string_view text, NameProblem problem) {
  return "The path or file name \"" + std::string(text) + "\" " +
         std::string(NameProblemText(problem)) + ". Nothing was copied or registered.";
}

std::string CannotUnregisterNameText(std::string_view text, NameProblem problem) {
  return "The file name \"" + std::string(text) + "\" " + std::string(NameProblemText(problem)) +
         ". Nothing was unregistered.";
}

}  // namespace movarin::registration
