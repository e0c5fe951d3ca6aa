#include "download/win32/dialog_controls.h"

#include <commctrl.h>

#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "platform/win32/window.h"

namespace movarin::download::win32 {

using movarin::win32::TwipsToPixels;

void CreateDialogControls(HWND parent, std::span<const DialogControl> controls, HFONT font) {
  for (const DialogControl& c : controls) {
    movarin::win32::ControlArgs a;
    a.text = movarin::win32::Widen(c.caption);
    a.id = c.id;
    a.x = TwipsToPixels(c.left);
    a.y = TwipsToPixels(c.top);
    a.width = TwipsToPixels(c.width);
    a.height = TwipsToPixels(c.height);
    a.font = font;
    switch (c.kind) {
      case DialogControlKind::Label:
        a.class_name = L"STATIC";
        a.style = SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS;  // a long folder stays on one line
        break;
      case DialogControlKind::TextBox:
        a.class_name = L"EDIT";
        a.style = WS_TABSTOP | ES_AUTOHSCROLL;
        a.ex_style = WS_EX_CLIENTEDGE;
        break;
      case DialogControlKind::HiddenField:
        a.class_name = L"EDIT";
        a.style = ES_AUTOHSCROLL;
        a.visible = false;
        break;
      case DialogControlKind::Button:
        a.class_name = L"BUTTON";
        a.style = WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case DialogControlKind::CheckBox:
        a.class_name = L"BUTTON";
        a.style = WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
      case DialogControlKind::Frame:
        a.class_name = L"BUTTON";
        a.style = BS_GROUPBOX;
        break;
      case DialogControlKind::ProgressBar:
        a.class_name = PROGRESS_CLASSW;
        a.style = PBS_SMOOTH;
        break;
    }
    movarin::win32::CreateControl(parent, a);
  }
}

HFONT CreateDialogFont() {
  const int height = -MulDiv(825, movarin::win32::ScreenDpi(), 7200);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

}  // namespace movarin::download::win32
