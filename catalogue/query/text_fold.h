// Reading UTF-8 one character at a time and folding letter case, the way LIKE and the
// search index compare texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace movarin::catalogue::query {

// The character at `pos` and the position after it; an invalid byte reads as U+FFFD and
// advances by one.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// Simple case folding to lower case: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic.
char32_t FoldCase(char32_t c);

// The text with every character folded (always valid UTF-8).
std::string FoldText(std::string_view text);
void AppendFolded(std::string_view text, std::string& folded);

}  // namespace movarin::catalogue::query
