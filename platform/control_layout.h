#pragma once
// A window's controls as data: kind, caption and position in twips. The layout tables of
// every window are written with these; the Windows side creates the controls from them.
#include <cstddef>
#include <span>
#include <string_view>

namespace movarin::ui {

enum class ControlKind {
  kLabel,
  kClickableLabel,  // a label that reports clicks
  kTextBox,         // one line, editable
  kHiddenField,     // a text box never shown: other windows write into it
  kButton,
  kCheckBox,
  kFrame,
  kProgressBar,
  kReportList,      // a list view in report view whose rows the window supplies
  kPanel,           // a bordered, centred text, hidden until shown
  kStyledButton,    // the owner-drawn push button (a standard one where no skin is used)
  kBlockProgressBar,  // the segmented progress bar (the standard one where no skin is used)
  kDropDownList,    // a list to choose one entry from; its height is the dropped list's
};

struct ControlPlacement {
  int id;  // fixed, so that end-to-end tests can find the control
  ControlKind kind;
  std::string_view caption;
  int left, top, width, height;  // twips
};

// True when every control has a size and no two share an id (windows and end-to-end
// tests find controls by id). Each layout table checks itself with a static_assert.
constexpr bool LayoutIsValid(std::span<const ControlPlacement> table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].width <= 0 || table[i].height <= 0) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (table[j].id == table[i].id) return false;
    }
  }
  return true;
}

// How a window's skin differs from the look every window shares (skin/window_skin_design.h).
struct SkinDescription {
  std::string_view title;
  bool caption_buttons = true;  // minimise and close; false shows none
  std::string_view icon = {};   // picture source ("#1": the program's icon); empty: none
};

// The picture a styled button shows: a file in the program's Images folder.
struct ButtonPicture {
  int id;
  std::string_view file;  // "Search.png"
};

// The picture of control `id` in a window's table; empty when it shows none.
constexpr std::string_view PictureFor(std::span<const ButtonPicture> pictures, int id) {
  for (const ButtonPicture& p : pictures)
    if (p.id == id) return p.file;
  return {};
}

}  // namespace movarin::ui
