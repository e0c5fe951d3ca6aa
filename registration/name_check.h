#pragma once
// Which paths and names may go into run.bat or onto a regsvr32 command line.
//
// The command interpreter reads run.bat in the ANSI code page and expands %...% even
// inside quotes; a double quote ends the quoted path early and a line break starts a new
// command. Any of these would change the command that runs with administrator rights, so
// such a text is refused rather than escaped. A command line started as a process is not
// read by the interpreter: there only quotes (which split arguments) and control
// characters matter.
#include <optional>
#include <string>
#include <string_view>

namespace movarin::registration {

enum class NameProblem {
  kPercentSign,
  kDoubleQuote,
  kControlCharacter,  // a line break, a tab or another character below U+0020
  kNotInCodePage,     // no exact form in the system's ANSI code page
};
// The problem as the end of a sentence: "contains a line break or another control character".
std::string_view NameProblemText(NameProblem problem);

// Converts UTF-8 text to the system's ANSI code page exactly, or says it cannot.
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // The bytes in the code page, or nullopt when some character has no exact form there
  // (no best-fit substitutes) or the text is not valid UTF-8.
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) = 0;
};

// A path or file name that goes into run.bat.
std::optional<NameProblem> CheckBatchName(std::string_view text, AnsiCodePage& code_page);

// The file text of an unregister command line. A text enclosed in one pair of quotes is
// checked inside them.
std::optional<NameProblem> CheckUnregisterName(std::string_view text);

// True for a text of two or more characters that starts and ends with a double quote.
bool IsEnclosedInQuotes(std::string_view text);

}  // namespace movarin::registration
