// A small window the driver's own tests work: an edit box, a button that changes a label,
// a list view, a message box, a popup menu, a registry write and a known colour band.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <commdlg.h>

#include <string>

#include "tests/e2e/sample_app/sample_ids.h"

namespace {

using namespace movarin::e2e::sample;

constexpr wchar_t kClassName[] = L"MovarinDriverSample";

class SampleWindow {
 public:
  explicit SampleWindow(std::wstring title) : title_(std::move(title)) {}

  bool Create(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SampleWindow::Route;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) return false;
    return CreateWindowExW(0, kClassName, title_.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                           40, 520, 420, nullptr, nullptr, instance, this) != nullptr;
  }

 private:
  static LRESULT CALLBACK Route(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<SampleWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SampleWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(msg, w, l) : DefWindowProcW(hwnd, msg, w, l);
  }

  // The edit box's Enter key: reported on the label instead of a beep.
  static LRESULT CALLBACK EditProc(HWND edit, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                                   DWORD_PTR data) {
    auto* self = reinterpret_cast<SampleWindow*>(data);
    if (msg == WM_KEYDOWN && w == VK_RETURN) {
      self->SetLabel(L"Enter: " + TextOf(edit));
      return 0;
    }
    if (msg == WM_CHAR && w == L'\r') {
      ++self->enter_chars_;
      return 0;
    }
    return DefSubclassProc(edit, msg, w, l);
  }

  HWND Control(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
               int id) {
    return CreateWindowExW(lstrcmpW(cls, WC_EDITW) == 0 ? WS_EX_CLIENTEDGE : 0, cls, text,
                           WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }

  static std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void SetLabel(const std::wstring& text) { SetDlgItemTextW(hwnd_, kLabel, text.c_str()); }

  void OnCreate() {
    edit_ = Control(WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, 10, 30, 200, 24, kEdit);
    SetWindowSubclass(edit_, &SampleWindow::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
    Control(WC_BUTTONW, L"&Change", BS_PUSHBUTTON | WS_TABSTOP, 220, 30, 80, 24, kChangeButton);
    Control(WC_STATICW, L"Ready", SS_LEFT, 310, 34, 190, 20, kLabel);
    Control(WC_BUTTONW, L"Message", BS_PUSHBUTTON, 10, 60, 80, 24, kMessageButton);
    Control(WC_BUTTONW, L"Menu", BS_PUSHBUTTON, 100, 60, 80, 24, kMenuButton);
    Control(WC_EDITW, L"", ES_AUTOHSCROLL, 190, 60, 100, 24, kSignalEdit);
    wchar_t folder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, folder);
    Control(WC_STATICW, folder, SS_LEFT, 300, 64, 200, 20, kFolderLabel);
    Control(WC_BUTTONW, L"Browse", BS_PUSHBUTTON, 10, 290, 80, 24, kBrowseButton);
    Control(WC_BUTTONW, L"Open", BS_PUSHBUTTON, 95, 290, 80, 24, kOpenButton);
    Control(WC_BUTTONW, L"Close when done", BS_AUTOCHECKBOX, 10, 260, 160, 20, kCloseCheck);
    tree_ = Control(WC_TREEVIEWW, L"", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_BORDER,
                    180, 255, 310, 110, kTree);
    const HTREEITEM drive = AddTreeItem(TVI_ROOT, L"C:", true);
    AddTreeItem(TVI_ROOT, L"D:", false);
    AddTreeItem(drive, L"Users", false);

    HWND list = Control(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER, 10, 95,
                        480, 150, kList);
    const wchar_t* headers[] = {L"Name", L"Version"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = 200;
      column.pszText = const_cast<wchar_t*>(headers[i]);
      ListView_InsertColumn(list, i, &column);
    }
    for (int row = 0; row < kRowCount; ++row) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<wchar_t*>(kRows[row][0]);
      ListView_InsertItem(list, &item);
      ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(kRows[row][1]));
    }
  }

  HTREEITEM AddTreeItem(HTREEITEM parent, const wchar_t* text, bool fills_on_demand) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.cChildren = fills_on_demand ? 1 : 0;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0,
                                                    reinterpret_cast<LPARAM>(&insert)));
  }

  void ShowMenu(int x, int y) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuFirst, L"&First");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_CHECKED, kMenuSecond, L"Se&cond\tCtrl+S");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, kMenuGrayed, L"Grayed");
    AppendMenuW(menu, MF_STRING, kMenuThird, L"Third");
    HMENU options = CreatePopupMenu();
    AppendMenuW(options, MF_STRING | MF_CHECKED, kMenuYes, L"Yes");
    AppendMenuW(options, MF_STRING, kMenuNo, L"No");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"Options");
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(menu);
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case kChangeButton: {
        const std::wstring text = TextOf(edit_);
        SetLabel(L"Changed: " + text);
        HKEY key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) == ERROR_SUCCESS) {
          RegSetValueExW(key, L"LastText", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
          ++changes_;
          RegSetValueExW(key, L"Changes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&changes_),
                         sizeof changes_);
          RegCloseKey(key);
        }
        break;
      }
      case kMessageButton: {
        const int answer = MessageBoxW(hwnd_, L"Do you like tests?", L"Sample question",
                                       MB_YESNO | MB_ICONQUESTION);
        SetLabel(answer == IDYES ? L"Answer: Yes" : answer == IDNO ? L"Answer: No" : L"Answer: ?");
        break;
      }
      case kMenuButton: {
        RECT r;
        GetWindowRect(GetDlgItem(hwnd_, kMenuButton), &r);
        ShowMenu(r.left, r.bottom);
        break;
      }
      case kSignalEdit:
        // Like a field another window writes into: the write itself runs the action.
        if (code == EN_CHANGE && TextOf(GetDlgItem(hwnd_, kSignalEdit)) == L"box") {
          MessageBoxW(hwnd_, L"Signal received", L"Sample notice", MB_OK | MB_ICONINFORMATION);
          SetLabel(L"Signal done");
        }
        break;
      case kBrowseButton: {
        // The shell's folder picker, as the download folder dialog opens it.
        BROWSEINFOW info{};
        info.hwndOwner = hwnd_;
        info.lpszTitle = L"Select a Folder";
        info.ulFlags = BIF_NEWDIALOGSTYLE;
        PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
        wchar_t path[MAX_PATH] = L"";
        if (picked) {
          SHGetPathFromIDListW(picked, path);
          CoTaskMemFree(picked);
          SetLabel(std::wstring(L"Folder: ") + path);
        } else {
          SetLabel(L"Folder: cancelled");
        }
        break;
      }
      case kOpenButton: {
        // The open-file dialog, as the multiple-file search asks for its list.
        wchar_t path[MAX_PATH] = L"";
        OPENFILENAMEW open{};
        open.lStructSize = sizeof open;
        open.hwndOwner = hwnd_;
        open.lpstrFilter = L"Text files\0*.txt\0All files\0*.*\0";
        open.lpstrFile = path;
        open.nMaxFile = MAX_PATH;
        open.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER;
        SetLabel(GetOpenFileNameW(&open) ? std::wstring(L"Opened: ") + path : L"Opened: nothing");
        break;
      }
      case kMenuFirst: SetLabel(L"Menu: First"); break;
      case kMenuSecond: SetLabel(L"Menu: Second"); break;
      case kMenuThird: SetLabel(L"Menu: Third"); break;
      case kMenuGrayed: SetLabel(L"Menu: Grayed"); break;
      case kMenuYes: SetLabel(L"Menu: Yes"); break;
      case kMenuNo: SetLabel(L"Menu: No"); break;
    }
  }

  void OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT band{0, 0, 520, kBandHeight};
    HBRUSH brush = CreateSolidBrush(RGB(kBandRed, kBandGreen, kBandBlue));
    FillRect(dc, &band, brush);
    DeleteObject(brush);
    EndPaint(hwnd_, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
      case WM_CREATE: OnCreate(); return 0;
      case WM_COMMAND: OnCommand(LOWORD(w), HIWORD(w)); return 0;
      case WM_NOTIFY: {
        // A right click on a list row: the row's own menu, as the catalogue list has.
        const auto* header = reinterpret_cast<const NMHDR*>(l);
        if (header->idFrom == kList && header->code == NM_RCLICK) {
          const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(l);
          SetLabel(L"Row menu: " + std::to_wstring(item->iItem));
          POINT p = item->ptAction;
          ClientToScreen(header->hwndFrom, &p);
          ShowMenu(p.x, p.y);
          return 0;
        }
        // Like the folder picker: "C:" gets its sub-folders only when it is expanded.
        if (header->idFrom == kTree && header->code == TVN_ITEMEXPANDINGW) {
          if (!filled_) {
            AddTreeItem(reinterpret_cast<const NMTREEVIEWW*>(l)->itemNew.hItem, L"Windows", false);
            filled_ = true;
          }
          return 0;
        }
        if (header->idFrom == kTree && header->code == TVN_SELCHANGEDW) {
          wchar_t text[128] = L"";
          TVITEMW item{};
          item.mask = TVIF_TEXT;
          item.hItem = reinterpret_cast<const NMTREEVIEWW*>(l)->itemNew.hItem;
          item.pszText = text;
          item.cchTextMax = 128;
          TreeView_GetItem(tree_, &item);
          SetLabel(std::wstring(L"Tree: ") + text);
          return 0;
        }
        if (header->idFrom == kList && header->code == NM_DBLCLK) {
          SetLabel(L"Row opened: " + std::to_wstring(reinterpret_cast<const NMITEMACTIVATE*>(l)->iItem));
          return 0;
        }
        break;
      }
      case WM_PAINT: OnPaint(); return 0;
      case WM_CONTEXTMENU: {
        POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        if (p.x == -1 && p.y == -1) GetCursorPos(&p);
        ShowMenu(p.x, p.y);
        return 0;
      }
      case WM_DESTROY: PostQuitMessage(kExitCode); return 0;
    }
    return DefWindowProcW(hwnd_, msg, w, l);
  }

  std::wstring title_;
  HWND hwnd_ = nullptr;
  HWND edit_ = nullptr;
  HWND tree_ = nullptr;
  bool filled_ = false;
  DWORD changes_ = 0;
  int enter_chars_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  // "--title <text>" gives the window another caption (the rest of the line).
  std::wstring title = kTitle;
  const std::wstring line = command_line ? command_line : L"";
  if (line.rfind(L"--title ", 0) == 0) title = line.substr(8);
  SampleWindow window(title);
  if (!window.Create(instance)) return 1;
  // "--spawn" starts a second copy, as Movarin starts its helper programs.
  if (line == L"--spawn") {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // The child's title names this process, so concurrent runs never mix their children.
    std::wstring child = L"\"" + std::wstring(self) + L"\" --title " + kChildTitle + L" " +
                         std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(self, child.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
