#pragma once
// What the operating-system choice window decides. The register and unregister
// commands work one way on Windows XP and another on Windows Vista/7; the user states
// which once, as one of the two check marks of the command menu. This window is the
// last step before the main window: with exactly one mark set it passes straight on,
// otherwise it asks. It sets marks on the command menu only; the main window writes
// them to the settings store when it closes.
#include <string_view>

namespace movarin::os_choice {

inline constexpr std::string_view kQuestion = "Which windows operating system are you using ?";
inline constexpr std::string_view kWindowsXpCaption = "Windows XP";
inline constexpr std::string_view kWindowsVista7Caption = "Windows Vista/7";

enum class OperatingSystem { kWindowsXp, kWindowsVista7 };

// Where the window stands after its load.
enum class LoadOutcome {
  kAsk,     // the window is shown and waits for a button
  kPassOn,  // the main window was shown and this one closed; it is never seen
};

// The decision on the two marks: exactly one set passes on; none or both ask.
LoadOutcome Decide(bool windows_xp_checked, bool windows_vista7_checked);

class OsChoiceHost {
 public:
  virtual ~OsChoiceHost() = default;
  // Sets the command menu's "Windows XP" mark from the store, then its "Windows
  // Vista/7" mark (both default off; a value that cannot be read leaves its mark).
  virtual void ReadMarksFromStore() = 0;
  virtual bool Checked(OperatingSystem system) = 0;
  virtual void Check(OperatingSystem system) = 0;
  virtual void ShowMainWindow() = 0;
  virtual void CloseWindow() = 0;
  // Ends the program: nothing of it is visible any more.
  virtual void EndProgram() = 0;
};

class OsChoiceLogic {
 public:
  explicit OsChoiceLogic(OsChoiceHost& host) : host_(host) {}

  // The load, before the window is first shown.
  LoadOutcome Load();
  // The "Windows XP" or "Windows Vista/7" button: its own mark is added (the other one
  // stays as it is), then the main window opens and this one closes.
  void Choose(OperatingSystem system);
  // The close button of the caption bar (or any other close by the user): the window
  // closes without a choice and the main window is not shown. Only the hidden command
  // menu would be left, so the program ends; nothing is written to the store.
  void CloseWithoutChoice();

 private:
  OsChoiceHost& host_;
};

}  // namespace movarin::os_choice
