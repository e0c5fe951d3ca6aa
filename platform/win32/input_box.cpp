#include "platform/win32/input_box.h"

#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/win32/controls.h"

namespace movarin::win32 {
namespace {

// The layout in dialog units: the prompt on the left with OK and Cancel beside it, the
// text box across the bottom.
struct ItemLayout {
  int id;
  WORD class_atom;  // 0x0080 button, 0x0081 edit, 0x0082 static
  DWORD style;
  short x, y, cx, cy;
  const wchar_t* text;  // null: the prompt, filled in at run time
};
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr short kWidth = 260;
constexpr short kHeight = 84;
constexpr DWORD kDialogStyle =
    DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr ItemLayout kItems[] = {
    {kInputBoxPromptId, kStaticAtom, SS_LEFT | SS_NOPREFIX, 7, 7, 190, 44, nullptr},
    {IDOK, kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 206, 7, 47, 14, L"OK"},
    {IDCANCEL, kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, 206, 25, 47, 14, L"Cancel"},
    {kInputBoxTextId, kEditAtom, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 60, 246, 14, L""},
};

// A DLGTEMPLATE with its items, laid out as the dialog manager reads it: WORD-aligned
// strings, each item DWORD-aligned.
class TemplateWriter {
 public:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) Word(static_cast<WORD>(c));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2) Word(0);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  // WORDs on a vector whose buffer is at least DWORD-aligned (operator new's alignment).
  std::vector<WORD> words_;
};

struct State {
  const InputBoxArgs* args;
  std::wstring answer;
};

INT_PTR CALLBACK InputBoxProcedure(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lp);
      const auto* state = reinterpret_cast<const State*>(lp);
      SetDlgItemTextW(dialog, kInputBoxTextId, state->args->default_text.c_str());
      HWND text = GetDlgItem(dialog, kInputBoxTextId);
      SendMessageW(text, EM_SETSEL, 0, -1);
      SetFocus(text);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
        state->answer = GetText(GetDlgItem(dialog, kInputBoxTextId));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {  // also Escape and the close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::wstring> ShowInputBox(const InputBoxArgs& args) {
  TemplateWriter t;
  t.Dword(kDialogStyle);
  t.Dword(0);  // extended style
  t.Word(static_cast<WORD>(std::size(kItems)));
  t.Word(0);  // x, y: centred
  t.Word(0);
  t.Word(static_cast<WORD>(kWidth));
  t.Word(static_cast<WORD>(kHeight));
  t.Word(0);  // no menu
  t.Word(0);  // the standard dialog class
  t.Text(args.title);
  t.Word(8);  // DS_SETFONT: point size and typeface
  t.Text(L"MS Shell Dlg");
  for (const ItemLayout& item : kItems) {
    t.AlignToDword();
    t.Dword(WS_CHILD | WS_VISIBLE | item.style);
    t.Dword(0);
    t.Word(static_cast<WORD>(item.x));
    t.Word(static_cast<WORD>(item.y));
    t.Word(static_cast<WORD>(item.cx));
    t.Word(static_cast<WORD>(item.cy));
    t.Word(static_cast<WORD>(item.id));
    t.Word(0xFFFF);
    t.Word(item.class_atom);
    t.Text(item.text ? item.text : args.prompt);
    t.Word(0);  // no creation data
  }
  State state{&args, {}};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), args.owner,
                                                 &InputBoxProcedure, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return state.answer;
}

}  // namespace movarin::win32
