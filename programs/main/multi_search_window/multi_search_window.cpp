#include "programs/main/multi_search_window/multi_search_window.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/input_box.h"
#include "platform/win32/text.h"
#include "programs/main/multi_search_window/multi_search_window_layout.h"

namespace movarin::main_program {

namespace win32 = movarin::win32;
namespace ms = movarin::multi_search;

namespace {
constexpr UINT_PTR kWalkTimer = 1;
}  // namespace

MultiSearchWindow::MultiSearchWindow(MultiSearchWindowArgs args) : args_(std::move(args)) {}

MultiSearchWindow::~MultiSearchWindow() = default;

void MultiSearchWindow::Open() {
  if (!hwnd()) {
    win32::WindowArgs window;
    window.class_name = L"MovarinMultiSearchWindow";
    window.title = win32::Widen(ms::kTitle);
    window.client_width = win32::TwipsToPixels(ms::kClientWidthTwips);
    window.client_height = win32::TwipsToPixels(ms::kClientHeightTwips);
    if (!Create(window)) return;
  }
  // A close still waiting for its tick is called off: the window stays as it is.
  close_pending_ = false;
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool MultiSearchWindow::OnCreate() {
  // A window destroyed before has no tick on the stack any more (see OnClose), so its
  // logic and controls can make way for new ones.
  logic_.emplace(static_cast<multi_search::MultiSearchHost&>(*this), *args_.state);
  skinned_.emplace();
  font_.reset(win32::CreateTahoma(975, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_->AddSkin(hwnd(), {.title = ms::kTitle, .icon = "#1"});
  for (std::size_t i = 0; i < ms::kControls.size(); ++i) skinned_->Add(hwnd(), ms::kControls[i], font, ms::kPictures[i]);
  SetUpNameList();
  return true;
}

HWND MultiSearchWindow::NameList() const { return GetDlgItem(hwnd(), ms::kNameList); }

void MultiSearchWindow::SetUpNameList() {
  HWND list = NameList();
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int icon = GetSystemMetrics(SM_CXSMICON);
  images_.reset(ImageList_Create(icon, icon, ILC_COLOR32 | ILC_MASK, 1, 0));
  ImageList_AddIcon(images_.get(), LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
  std::wstring header = win32::Widen(ms::kInitialHeader);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header.data();
  column.cx = win32::TwipsToPixels(ms::kNameColumnTwips);
  ListView_InsertColumn(list, 0, &column);
}

bool MultiSearchWindow::OnClose() {
  // The caption's close button: the window goes at once, without a question, and a
  // walk ends with it. A tick inside the main window's search (a download processes
  // messages, and so delivers this close) is still on the stack: the window is hidden
  // now and destroyed when that tick returns.
  if (logic_) logic_->Closing();
  if (logic_ && logic_->HandingOver()) {
    close_pending_ = true;
    ShowWindow(hwnd(), SW_HIDE);
  } else {
    DestroyWindow(hwnd());
  }
  return true;
}

void MultiSearchWindow::OnDestroy() {
  KillTimer(hwnd(), kWalkTimer);
  if (logic_) logic_->Closing();
  close_pending_ = false;
}

void MultiSearchWindow::OnTimer(UINT_PTR id) {
  if (id != kWalkTimer || !logic_) return;
  logic_->WalkTimerTick();
  // Only the outermost tick destroys: a tick that arrives inside a hand-over does nothing.
  if (close_pending_ && !logic_->HandingOver()) DestroyWindow(hwnd());
}

bool MultiSearchWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED || !logic_) return false;
  switch (id) {
    case ms::kAddButton:
      logic_->AddPressed();
      return true;
    case ms::kRemoveButton: {
      const int row = ListView_GetNextItem(NameList(), -1, LVNI_SELECTED);
      logic_->RemovePressed(row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt);
      return true;
    }
    case ms::kClearButton:
      logic_->ClearPressed();
      return true;
    case ms::kSearchButton:
      logic_->SearchPressed();
      return true;
  }
  return false;
}

bool MultiSearchWindow::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != static_cast<UINT_PTR>(ms::kNameList) || !logic_) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      const auto row = static_cast<std::size_t>(info.item.iItem);
      if (row >= logic_->Names().size()) return true;
      if (info.item.mask & LVIF_TEXT) {
        cell_buffer_ = win32::Widen(logic_->Names()[row]);
        lstrcpynW(info.item.pszText, cell_buffer_.c_str(), info.item.cchTextMax);
      }
      if (info.item.mask & LVIF_IMAGE) info.item.iImage = 0;
      return true;
    }
    case LVN_BEGINLABELEDITW:
      result = TRUE;  // names are never edited in place
      return true;
  }
  return false;
}

std::string MultiSearchWindow::AskForName(std::string_view prompt, std::string_view title) {
  const auto answer = win32::ShowInputBox(
      {.owner = hwnd(), .prompt = win32::Widen(prompt), .title = win32::Widen(title), .default_text = {}});
  return answer ? win32::Narrow(*answer) : std::string();
}

void MultiSearchWindow::NamesChanged() {
  HWND list = NameList();
  const int count = static_cast<int>(logic_->Names().size());
  // The list keeps its selection by row number, which after an edit would mark another
  // name (and a second Remove would take that one): the selection is cleared.
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, count, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void MultiSearchWindow::SetColumnHeader(std::string_view text) {
  std::wstring header = win32::Widen(text);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = header.data();
  ListView_SetColumn(NameList(), 0, &column);
}

void MultiSearchWindow::ShowInformation(std::string_view text) {
  MessageBoxW(hwnd(), win32::Widen(text).c_str(), win32::Widen(ms::kTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

void MultiSearchWindow::EnableWalkTimer(bool enabled) { EnableTimer(kWalkTimer, ms::kWalkIntervalMs, enabled); }

void MultiSearchWindow::SearchInMainWindow(const std::string& name) {
  if (args_.search_in_main_window) args_.search_in_main_window(name);
}

}  // namespace movarin::main_program
