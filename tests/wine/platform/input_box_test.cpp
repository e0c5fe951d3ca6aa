// The input box under Wine, worked from a second thread as a user would: what it shows,
// and what each way of leaving it returns.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/input_box.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/text.h"

namespace movarin::win32 {
namespace {

constexpr char kTitle[] = "dll or ocx file name";

// Shows the box on this thread while `act` works it from another one.
std::optional<std::wstring> ShowAndAct(const InputBoxArgs& args, const std::function<void(HWND box)>& act) {
  std::thread user([&] {
    HWND box = e2e::WaitForWindow({.title = Narrow(args.title), .class_name = "#32770",
                                   .process_id = GetCurrentProcessId()},
                                  std::chrono::milliseconds(10000));
    if (!box) return;
    act(box);
  });
  auto answer = ShowInputBox(args);
  user.join();
  return answer;
}

HWND TextBox(HWND box) { return GetDlgItem(box, kInputBoxTextId); }

TEST(InputBoxTest, EachWayOfLeavingIt) {
  struct Case {
    const char* name;
    std::wstring default_text;
    std::function<void(HWND)> act;
    std::optional<std::wstring> answer;
  };
  const std::vector<Case> cases = {
      {"typed text and OK, exactly as typed", L"",
       [](HWND box) {
         e2e::SetText(TextBox(box), "  comdlg32.ocx ");
         e2e::Click(GetDlgItem(box, IDOK));
       },
       L"  comdlg32.ocx "},
      {"text beyond ASCII", L"",
       [](HWND box) {
         e2e::SetText(TextBox(box), "\xC3\xBC" "bersicht.dll");
         e2e::Click(GetDlgItem(box, IDOK));
       },
       L"\u00FCbersicht.dll"},
      {"the default text, untouched", L"default.ocx", [](HWND box) { e2e::Click(GetDlgItem(box, IDOK)); },
       L"default.ocx"},
      {"Enter in the text box", L"",
       [](HWND box) {
         e2e::TypeText(TextBox(box), "a.dll");
         e2e::PressEnter(TextBox(box));
       },
       L"a.dll"},
      {"OK with nothing typed gives the empty text", L"", [](HWND box) { e2e::Click(GetDlgItem(box, IDOK)); },
       L""},
      {"Cancel", L"x.dll", [](HWND box) { e2e::Click(GetDlgItem(box, IDCANCEL)); }, std::nullopt},
      {"Escape", L"x.dll", [](HWND box) { e2e::PressKey(TextBox(box), VK_ESCAPE); }, std::nullopt},
      {"the close box", L"x.dll", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, std::nullopt},
  };
  for (const Case& c : cases) {
    InputBoxArgs args{.prompt = L"Please type dll or ocx file name:", .title = Widen(kTitle),
                      .default_text = c.default_text};
    EXPECT_EQ(ShowAndAct(args, c.act), c.answer) << c.name;
  }
}

TEST(InputBoxTest, ShowsPromptTitleAndSelectedDefaultWithTheFocusAndDisablesItsOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  const DWORD ui_thread = GetCurrentThreadId();
  std::string prompt, title, text;
  DWORD selection = 0;
  HWND focus = nullptr, text_box = nullptr;
  bool owner_enabled = true;
  InputBoxArgs args{.owner = owner, .prompt = L"Please type dll or ocx file name:\n& more", .title = Widen(kTitle),
                    .default_text = L"mscomctl.ocx"};
  const auto answer = ShowAndAct(args, [&](HWND box) {
    prompt = e2e::GetText(GetDlgItem(box, kInputBoxPromptId));
    title = e2e::GetText(box);
    text_box = TextBox(box);
    text = e2e::GetText(text_box);
    selection = static_cast<DWORD>(SendMessageW(text_box, EM_GETSEL, 0, 0));
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(ui_thread, &info)) focus = info.hwndFocus;
    owner_enabled = IsWindowEnabled(owner);
    e2e::Click(GetDlgItem(box, IDCANCEL));
  });
  EXPECT_EQ(answer, std::nullopt);
  EXPECT_EQ(prompt, "Please type dll or ocx file name:\n& more");
  EXPECT_EQ(title, kTitle);
  EXPECT_EQ(text, "mscomctl.ocx");
  EXPECT_EQ(LOWORD(selection), 0);
  EXPECT_EQ(HIWORD(selection), 12) << "the default text is selected";
  EXPECT_EQ(focus, text_box);
  EXPECT_FALSE(owner_enabled);
  EXPECT_TRUE(IsWindowEnabled(owner)) << "enabled again afterwards";
  DestroyWindow(owner);
}

}  // namespace
}  // namespace movarin::win32
