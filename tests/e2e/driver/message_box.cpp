#include "tests/e2e/driver/message_box.h"

#include "base/ascii.h"
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/menu_probe.h"
#include "tests/e2e/driver/probe_call.h"
#include "tests/e2e/driver/text.h"

namespace movarin::e2e {
namespace {

constexpr char kDialogClass[] = "#32770";

}  // namespace

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.title = GetText(box);
  for (HWND child : FindChildren(box, {})) {
    const std::string cls = base::LowerAscii(ClassName(child));
    if (cls == "button") {
      if (IsWindowVisible(child)) info.buttons.push_back(StripMnemonics(GetText(child)));
    } else if (cls == "static") {
      // The icon is a static control too; only labels carry the message.
      const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
      if ((style & SS_TYPEMASK) == SS_ICON) continue;
      const std::string text = GetText(child);
      if (text.empty()) continue;
      if (!info.text.empty()) info.text += "\n";
      info.text += text;
    }
  }
  return info;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD process_id) {
  WindowQuery query;
  query.class_name = kDialogClass;
  query.process_id = process_id;
  HWND box = FindTopWindow(query);
  if (!box) return std::nullopt;
  return ReadMessageBox(box);
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD process_id, milliseconds timeout) {
  WindowQuery query;
  query.class_name = kDialogClass;
  query.process_id = process_id;
  HWND box = WaitForWindow(query, timeout);
  if (!box) return std::nullopt;
  return ReadMessageBox(box);
}

MessageBoxIcon ReadMessageBoxIcon(HWND box) {
  HWND picture = nullptr;
  for (HWND child : FindChildren(box, {.class_name = "Static"})) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) picture = child;
  }
  if (!picture) return MessageBoxIcon::kNone;
  DWORD_PTR icon = 0;
  if (!SendMessageTimeoutW(picture, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon)) return MessageBoxIcon::kUnreadable;
  menu_probe::IconBlock block{reinterpret_cast<HICON>(icon), menu_probe::kOtherIcon};
  if (!CallProbe(box, menu_probe::kIconExportName, &block, sizeof block)) return MessageBoxIcon::kUnreadable;
  switch (block.kind) {
    case menu_probe::kNoIcon: return MessageBoxIcon::kNone;
    case menu_probe::kInformationIcon: return MessageBoxIcon::kInformation;
    case menu_probe::kWarningIcon: return MessageBoxIcon::kWarning;
    case menu_probe::kErrorIcon: return MessageBoxIcon::kError;
    case menu_probe::kQuestionIcon: return MessageBoxIcon::kQuestion;
    default: return MessageBoxIcon::kOther;
  }
}

const char* IconName(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kNone: return "none";
    case MessageBoxIcon::kInformation: return "information";
    case MessageBoxIcon::kWarning: return "warning";
    case MessageBoxIcon::kError: return "error";
    case MessageBoxIcon::kQuestion: return "question";
    case MessageBoxIcon::kOther: return "other";
    case MessageBoxIcon::kUnreadable: return "unreadable";
  }
  return "?";
}

bool PressMessageBoxButton(HWND box, const std::string& caption) {
  const std::string wanted = base::LowerAscii(StripMnemonics(caption));
  for (HWND child : FindChildren(box, {.class_name = "Button"})) {
    if (IsWindowVisible(child) && base::LowerAscii(StripMnemonics(GetText(child))) == wanted) {
      Click(child);
      return true;
    }
  }
  return false;
}

}  // namespace movarin::e2e
