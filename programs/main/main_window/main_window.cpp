#include "programs/main/main_window/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "registration/win32/library_file_dialog.h"

namespace movarin::main_program {

namespace win32 = movarin::win32;
using catalogue::ProviderError;

namespace {

constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT_PTR kSearchBoxSubclass = 1;
constexpr UINT_PTR kResultsListSubclass = 2;

int Px(int twips) { return win32::TwipsToPixels(twips); }

std::wstring W(std::string_view s) { return win32::Widen(s); }

base::Result<catalogue::Connection, ProviderError> OpenFile(const std::string& path) {
  return catalogue::Connection::Open(path, catalogue::kCataloguePassword);
}

}  // namespace

void ImageListTraits::Close(HIMAGELIST h) { ImageList_Destroy(h); }

MainWindow::MainWindow(MainWindowArgs args)
    : args_(std::move(args)),
      logic_(*this, args_.menu->model(), *args_.state,
             [path = args_.catalogue_path] { return OpenFile(path); }, args_.server_base_url) {}

MainWindow::~MainWindow() {
  if (args_.sounds) args_.sounds->SetListener(nullptr);
}

bool MainWindow::Create() {
  win32::WindowArgs window;
  window.class_name = L"MovarinMainWindow";
  window.title = W(kProgramTitle);
  window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  window.client_width = Px(kMainClientWidthTwips);
  window.client_height = Px(kMainClientHeightTwips);
  window.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));  // the program's icon
  return Window::Create(window);
}

bool MainWindow::OnCreate() {
  // Tahoma 9.75 points bold, as every label, text box and the results list use.
  font_.reset(win32::CreateTahoma(975, /*bold=*/true));
  CreateControls();
  return true;
}

void MainWindow::CreateControls() {
  HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), kMainSkin);
  for (std::size_t i = 0; i < kMainControls.size(); ++i) {
    const ControlPlacement& p = kMainControls[i];
    controls_[i] = skinned_.Add(hwnd(), p, font, ui::PictureFor(kMainButtonPictures, p.id));
  }
  SetUpResultsList(Control(MainControl::kResultsList));
  SetWindowSubclass(Control(MainControl::kSearchBox), &MainWindow::SearchBoxProc,
                    kSearchBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(Control(MainControl::kResultsList), &MainWindow::ResultsListProc,
                    kResultsListSubclass, reinterpret_cast<DWORD_PTR>(this));
  // Text boxes and buttons lie above the labels that run into them; raised last to
  // first, so the tab order (the z-order) starts at the search box.
  for (std::size_t i = kMainControls.size(); i-- > 0;) {
    if (kMainControls[i].kind == ControlKind::kTextBox || kMainControls[i].kind == ControlKind::kStyledButton)
      SetWindowPos(controls_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The search box has the focus when the window opens.
  SetFocus(Control(MainControl::kSearchBox));
}

void MainWindow::SetUpResultsList(HWND list) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int icon = GetSystemMetrics(SM_CXSMICON);
  images_.reset(ImageList_Create(icon, icon, ILC_COLOR32 | ILC_MASK, 1, 0));
  ImageList_AddIcon(images_.get(), LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
  struct Column {
    std::string_view header;
    int twips;
  };
  int index = 0;
  for (const Column& col : {Column{kInitialFirstHeader, kFileNameColumnTwips},
                            Column{kFileVersionHeader, kFileVersionColumnTwips}}) {
    std::wstring text = W(col.header);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = text.data();
    c.cx = Px(col.twips);
    c.iSubItem = index;
    ListView_InsertColumn(list, index, &c);
    ++index;
  }
}

void MainWindow::Load() {
  if (!loaded_) {
    loaded_ = true;
    LoadCues();
    logic_.Load(*args_.store);
  }
}

void MainWindow::LoadCues() {
  if (!args_.sounds) return;
  args_.sounds->SetListener(this);
  // A missing file has said so in its own box; the load goes on without that cue.
  args_.sounds->LoadWave(kNotFoundCueSlot, args_.program_folder + std::string(kNotFoundCueFile), 0);
  args_.sounds->LoadWave(kFoundCueSlot, args_.program_folder + std::string(kFoundCueFile), 0);
}

void MainWindow::PlayCue(int slot) {
  if (args_.sounds) args_.sounds->PlayWave(slot);
}

namespace {
constexpr UINT kPrepareSearchMessage = WM_APP + 1;
}  // namespace

void MainWindow::PrepareSearchWhenIdle() { PostMessageW(hwnd(), kPrepareSearchMessage, 0, 0); }

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPrepareSearchMessage) {
    logic_.PrepareSearch();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

void MainWindow::OnDestroy() {
  // Whatever closed the window: the options are saved and the program ends.
  KillTimer(hwnd(), kNoticeTimer);
  args_.menu->model().SaveOptions(*args_.store);
  if (args_.on_destroyed) args_.on_destroyed();
  PostQuitMessage(0);
}

bool MainWindow::OnClose() {
  const int answer = MessageBoxW(hwnd(), W(kExitQuestion).c_str(), W(kExitTitle).c_str(),
                                 MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) return true;
  if (args_.sounds) args_.sounds->ShutdownSound();
  DestroyWindow(hwnd());
  return true;
}

bool MainWindow::OnCommand(int id, int code, HWND control) {
  if (auto item = CommandMenu::ItemForCommand(id)) {
    RunMenuItem(*item);
    return true;
  }
  auto is = [id](MainControl role) { return id == Placement(role).id; };
  if (is(MainControl::kSearchButton) && code == BN_CLICKED) {
    logic_.SearchCatalogue();
  } else if (is(MainControl::kBrowseButton) && code == BN_CLICKED) {
    Browse();
  } else if (is(MainControl::kRegisterButton) && code == BN_CLICKED) {
    logic_.RegisterFromDisk(win32::Narrow(win32::GetText(Control(MainControl::kPathBox))), last_choice_);
  } else if ((is(MainControl::kMenuLabel) || is(MainControl::kLanguageLabel)) &&
             code == STN_CLICKED) {
    POINT at;
    GetCursorPos(&at);
    args_.menu->PopUp(is(MainControl::kMenuLabel) ? MenuItem::kOptionsMenu : MenuItem::kLanguageMenu, hwnd(), at);
  } else if (is(MainControl::kSignalField) && code == EN_CHANGE) {
    auto text_of = [this](MainControl role) {
      return [field = Control(role)] { return win32::Narrow(win32::GetText(field)); };
    };
    HWND signal = Control(MainControl::kSignalField);
    logic_.SignalFieldChanged(text_of(MainControl::kSignalField), [signal] { win32::SetText(signal, L""); },
                              text_of(MainControl::kDownloadedNameField),
                              text_of(MainControl::kDownloadedPathField));
  } else {
    return false;
  }
  return true;
}

void MainWindow::RunMenuItem(MenuItem item) {
  switch (args_.menu->model().Click(item)) {
    case MenuAction::kNone:
      break;
    case MenuAction::kReloadCatalogue:
      logic_.ReloadCatalogueList();
      break;
    case MenuAction::kDownloadSelectedRow: {
      const int row = SelectedRow();
      const std::string name = row >= 0 ? std::string(logic_.RowText(static_cast<std::size_t>(row)))
                                        : std::string();
      StartDownload(logic_.DownloadAddress(name),
                    row >= 0 ? logic_.RowDigest(static_cast<std::size_t>(row)) : download::ExpectedDigest());
      break;
    }
    case MenuAction::kShowDownloadFolderDialog:
      if (args_.show_download_folder_dialog) args_.show_download_folder_dialog();
      break;
    case MenuAction::kShowMultiSearchWindow:
      if (args_.show_multi_search_window) args_.show_multi_search_window();
      break;
    case MenuAction::kShowUnregisterDialog:
      if (args_.show_unregister_dialog) args_.show_unregister_dialog();
      break;
  }
}

bool MainWindow::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != static_cast<UINT_PTR>(Placement(MainControl::kResultsList).id)) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      const auto row = static_cast<std::size_t>(info.item.iItem);
      if (row >= logic_.ResultCount()) return true;
      if (info.item.mask & LVIF_TEXT) {
        cell_buffer_ = W(info.item.iSubItem == 0 ? logic_.RowText(row) : logic_.RowVersion(row));
        lstrcpynW(info.item.pszText, cell_buffer_.c_str(), info.item.cchTextMax);
      }
      if (info.item.mask & LVIF_IMAGE) info.item.iImage = 0;
      return true;
    }
    case LVN_BEGINLABELEDITW:
      result = TRUE;  // rows are never edited in place
      return true;
  }
  return false;
}

void MainWindow::ResultsListPressed(UINT button_message, LPARAM where) {
  HWND list = Control(MainControl::kResultsList);
  if (button_message == WM_LBUTTONDOWN || button_message == WM_RBUTTONDOWN) {
    // The row under the pointer is selected first, as the list itself does on a press,
    // so that what follows names the row that was pressed. A press beside every row
    // leaves none selected.
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    const int row = ListView_HitTest(list, &hit);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    if (row >= 0 && (hit.flags & LVHT_ONITEM)) {
      ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_SetSelectionMark(list, row);
    }
    SetFocus(list);
  }
  ResultsListClicked(button_message == WM_RBUTTONDOWN);
}

void MainWindow::ResultsListClicked(bool right_button) {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string_view text = logic_.RowText(static_cast<std::size_t>(row));
  if (text.empty()) return;
  args_.menu->model().SetDownloadCaptionFor(text);
  if (right_button) {
    POINT at;
    GetCursorPos(&at);
    args_.menu->PopUp(MenuItem::kContextMenu, hwnd(), at);
  }
}

int MainWindow::SelectedRow() const {
  return ListView_GetNextItem(Control(MainControl::kResultsList), -1, LVNI_SELECTED);
}

void MainWindow::OnTimer(UINT_PTR id) {
  if (id == kNoticeTimer) logic_.NoticeTimerTick();
}

void MainWindow::Browse() {
  // On Cancel the path box keeps its text.
  auto choice = registration::win32::ChooseLibraryFile(hwnd());
  if (!choice) return;
  last_choice_ = {choice->path, choice->title};
  win32::SetText(Control(MainControl::kPathBox), W(choice->path));
}

LRESULT CALLBACK MainWindow::SearchBoxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  switch (msg) {
    case WM_GETDLGCODE:
      if (lp && reinterpret_cast<const MSG*>(lp)->wParam == VK_RETURN)
        return DLGC_WANTALLKEYS | DefSubclassProc(box, msg, wp, lp);
      break;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) return 0;
      break;
    case WM_CHAR:
      // Enter is swallowed (no beep, no new line); a text of blanks does nothing.
      if (wp == L'\r') {
        self->logic_.EnterPressedInSearchBox();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(box, &MainWindow::SearchBoxProc, kSearchBoxSubclass);
      break;
  }
  return DefSubclassProc(box, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::ResultsListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      self->ResultsListPressed(msg, lp);
      break;
    case WM_RBUTTONDOWN:
      // The press has selected the row and shown the menu; the list's own handling
      // would wait for a release the menu has already taken.
      self->ResultsListPressed(msg, lp);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &MainWindow::ResultsListProc, kResultsListSubclass);
      break;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

std::string MainWindow::SearchBoxText() {
  return win32::Narrow(win32::GetText(Control(MainControl::kSearchBox)));
}

void MainWindow::ShowInformation(std::string_view text) {
  MessageBoxW(hwnd(), W(text).c_str(), W(kProgramTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool MainWindow::AskRetryAfterOpenError(const ProviderError& error) {
  return MessageBoxW(hwnd(), W(OpenErrorText(error)).c_str(), W(kOpenErrorTitle).c_str(),
                     MB_RETRYCANCEL | MB_ICONSTOP) == IDRETRY;
}

void MainWindow::ShowCannotConnect() {
  MessageBoxW(hwnd(), W(kCannotConnectMessage).c_str(), W(kProgramTitle).c_str(),
              MB_OK | MB_ICONSTOP);
}

void MainWindow::ResultsChanged() {
  HWND list = Control(MainControl::kResultsList);
  // The list holds other rows now: a row index selected before would name another file.
  // An owner-data list keeps selection and focus by index, so both are cleared.
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(list, -1);
  ListView_SetItemCountEx(list, static_cast<int>(logic_.ResultCount()), 0);
  InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::SetFirstColumnHeader(std::string_view text) {
  std::wstring header = W(text);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT;
  c.pszText = header.data();
  ListView_SetColumn(Control(MainControl::kResultsList), 0, &c);
}

void MainWindow::ShowNotFoundNotice(bool shown) {
  HWND notice = Control(MainControl::kNotFoundNotice);
  if (shown) SetWindowPos(notice, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(notice, shown ? SW_SHOW : SW_HIDE);
}

void MainWindow::EnableNoticeTimer(bool enabled) { EnableTimer(kNoticeTimer, 1, enabled); }

void MainWindow::StartDownload(const std::string& address, const download::ExpectedDigest& digest) {
  if (args_.start_download) args_.start_download(address, digest);
}

void MainWindow::SearchForName(const std::string& name) {
  if (!hwnd()) return;
  win32::SetText(Control(MainControl::kSearchBox), W(name));
  logic_.SearchCatalogue();
}

void MainWindow::RegisterFile(const registration::RegistrationOptions& options, const std::string& source_path,
                              const std::string& file_name) {
  if (args_.registration) args_.registration->RegisterFile(options, source_path, file_name);
}

void MainWindow::RegisterDownloadedFile(const std::string& name, const std::string& path) {
  win32::SetText(Control(MainControl::kDownloadedNameField), W(name));
  win32::SetText(Control(MainControl::kDownloadedPathField), W(path));
  logic_.RegisterDownloadedFile(name, path);
}

}  // namespace movarin::main_program
