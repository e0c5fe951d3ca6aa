#pragma once
// A window's controls as data: kind, caption and position in twips. The layout tables of
// every window are written with these; the Windows side creates the controls from them.
#include <string_view>

namespace movarin::ui {

enum class ControlKind {
  Label,
  ClickableLabel,  // a label that reports clicks
  TextBox,         // one line, editable
  HiddenField,     // a text box never shown: other windows write into it
  Button,
  CheckBox,
  Frame,
  ProgressBar,
  ReportList,      // a list view in report view whose rows the window supplies
  Panel,           // a bordered, centred text, hidden until shown
  StyledButton,    // the owner-drawn push button (a standard one where no skin is used)
  BlockProgressBar,  // the segmented progress bar (the standard one where no skin is used)
};

struct ControlPlacement {
  int id;  // fixed, so that end-to-end tests can find the control
  ControlKind kind;
  std::string_view caption;
  int left, top, width, height;  // twips
};

// How a window's skin differs from the look every window shares (skin/window_skin_design.h).
struct SkinDescription {
  std::string_view title;
  bool caption_buttons = true;  // minimise and close; false shows none
  std::string_view icon = {};   // picture source ("#1": the program's icon); empty: none
};

}  // namespace movarin::ui
