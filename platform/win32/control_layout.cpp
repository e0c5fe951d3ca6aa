#include "platform/win32/control_layout.h"

#include <commctrl.h>

#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "platform/win32/window.h"

namespace movarin::win32 {

HWND CreateLaidOutControl(HWND parent, const ui::ControlPlacement& p, HFONT font) {
  ControlArgs c;
  c.text = Widen(p.caption);
  c.id = p.id;
  c.x = TwipsToPixels(p.left);
  c.y = TwipsToPixels(p.top);
  c.width = TwipsToPixels(p.width);
  c.height = TwipsToPixels(p.height);
  c.font = font;
  switch (p.kind) {
    case ui::ControlKind::kLabel:
      c.class_name = L"STATIC";
      c.style = SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS;  // a long path stays on one line
      break;
    case ui::ControlKind::kClickableLabel:
      c.class_name = L"STATIC";
      c.style = SS_NOTIFY;
      break;
    case ui::ControlKind::kTextBox:
      c.class_name = L"EDIT";
      c.style = WS_TABSTOP | ES_AUTOHSCROLL;
      c.ex_style = WS_EX_CLIENTEDGE;
      break;
    case ui::ControlKind::kHiddenField:
      c.class_name = L"EDIT";
      c.style = ES_AUTOHSCROLL;
      c.visible = false;
      break;
    case ui::ControlKind::kButton:
    case ui::ControlKind::kStyledButton:  // skin/win32 creates the styled one
      c.class_name = L"BUTTON";
      c.style = WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ui::ControlKind::kCheckBox:
      c.class_name = L"BUTTON";
      c.style = WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ui::ControlKind::kFrame:
      c.class_name = L"BUTTON";
      c.style = BS_GROUPBOX;
      break;
    case ui::ControlKind::kProgressBar:
    case ui::ControlKind::kBlockProgressBar:  // skin/win32 creates the segmented one
      c.class_name = PROGRESS_CLASSW;
      c.style = PBS_SMOOTH;
      break;
    case ui::ControlKind::kReportList:
      c.class_name = WC_LISTVIEWW;
      c.style = WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
      c.ex_style = WS_EX_CLIENTEDGE;
      break;
    case ui::ControlKind::kDropDownList:
      c.class_name = L"COMBOBOX";
      c.style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case ui::ControlKind::kPanel:
      c.class_name = L"STATIC";
      c.style = SS_CENTER | SS_CENTERIMAGE | WS_BORDER;
      c.visible = false;
      break;
  }
  return CreateControl(parent, c);
}

void CreateLaidOutControls(HWND parent, std::span<const ui::ControlPlacement> placements, HFONT font) {
  for (const ui::ControlPlacement& p : placements) CreateLaidOutControl(parent, p, font);
}

HFONT CreateTahoma(int hundredths_of_point, bool bold) {
  const int height = -MulDiv(hundredths_of_point, ScreenDpi(), 7200);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

}  // namespace movarin::win32
