#include "registration/name_check.h"

#include <array>

namespace movarin::registration {
namespace {

struct ProblemText {
  NameProblem problem;
  std::string_view text;
};
constexpr std::array<ProblemText, 4> kProblemTexts{{
    {NameProblem::kPercentSign, "contains a % sign"},
    {NameProblem::kDoubleQuote, "contains a double quote (\")"},
    {NameProblem::kControlCharacter, "contains a line break or another control character"},
    {NameProblem::kNotInCodePage, "contains a character that the system's code page cannot represent"},
}};

// Windows forbids these in file names; in run.bat a CR or LF would start a new command.
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

// The characters that are refused everywhere; `percent` adds the % sign.
std::optional<NameProblem> CheckCharacters(std::string_view text, bool percent) {
  for (char c : text) {
    if (IsControl(c)) return NameProblem::kControlCharacter;
    if (c == '"') return NameProblem::kDoubleQuote;
    if (percent && c == '%') return NameProblem::kPercentSign;
  }
  return std::nullopt;
}

}  // namespace

std::string_view NameProblemText(NameProblem problem) {
  for (const ProblemText& entry : kProblemTexts)
    if (entry.problem == problem) return entry.text;
  return "cannot be used";
}

bool IsEnclosedInQuotes(std::string_view text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

std::optional<NameProblem> CheckBatchName(std::string_view text, AnsiCodePage& code_page) {
  if (auto problem = CheckCharacters(text, /*percent=*/true)) return problem;
  if (!code_page.FromUtf8(text)) return NameProblem::kNotInCodePage;
  return std::nullopt;
}

std::optional<NameProblem> CheckUnregisterName(std::string_view text) {
  if (IsEnclosedInQuotes(text)) text = text.substr(1, text.size() - 2);
  return CheckCharacters(text, /*percent=*/false);
}

}  // namespace movarin::registration
