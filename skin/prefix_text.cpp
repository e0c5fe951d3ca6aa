#include "skin/canvas.h"

namespace movarin::skin {

PrefixedText ResolvePrefixes(std::string_view text) {
  PrefixedText out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.text.push_back(text[i]);
      continue;
    }
    if (i + 1 >= text.size()) break;  // a trailing '&' shows nothing
    if (text[i + 1] == '&') {
      out.text.push_back('&');
    } else {
      out.underlined = static_cast<int>(out.text.size());
      out.text.push_back(text[i + 1]);
    }
    ++i;
  }
  return out;
}

}  // namespace movarin::skin
