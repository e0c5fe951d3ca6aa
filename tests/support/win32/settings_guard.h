#pragma once
// Keeps the program's settings in the shared Wine prefix as they were: every value of the
// options key is read when the guard is made and put back when it goes, and values
// written meanwhile are removed. Tests and benchmarks that start Movarin (which saves its
// options when it closes) or write options themselves hold one for their whole run.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace movarin::test {

class SettingsGuard {
 public:
  SettingsGuard();
  ~SettingsGuard();
  SettingsGuard(const SettingsGuard&) = delete;
  SettingsGuard& operator=(const SettingsGuard&) = delete;

  // Puts the key back as it was now (the destructor does it too).
  void Restore() const;

 private:
  struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  bool existed_ = false;
  std::map<std::wstring, Value> values_;
};

}  // namespace movarin::test
