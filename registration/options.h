#pragma once
// The two options the register and unregister commands read at the moment they run.
// Each is a pair of exclusive menu toggles of which both may be off, so "neither" is a
// state of its own.
namespace movarin::registration {

// "Register ocx or dll files silently": "Yes" adds /s, "No" lets regsvr32 show its result.
struct SilentOption {
  bool yes = false;
  bool no = false;
};

// "Windows XP": the program does the work itself; "Windows Vista/7": it hands the work
// to the elevated helper programs.
struct OperatingSystemOption {
  bool windows_xp = false;
  bool windows_vista7 = false;
};

// A click on "Yes" or "No" of the silent pair in the helper programs' option window: a
// checked item is unchecked; an unchecked one is checked and its partner unchecked.
inline SilentOption ToggledYes(SilentOption toggles) {
  return toggles.yes ? SilentOption{false, toggles.no} : SilentOption{true, false};
}
inline SilentOption ToggledNo(SilentOption toggles) {
  return toggles.no ? SilentOption{toggles.yes, false} : SilentOption{false, true};
}

struct RegistrationOptions {
  OperatingSystemOption system;
  SilentOption silent;
};

}  // namespace movarin::registration
