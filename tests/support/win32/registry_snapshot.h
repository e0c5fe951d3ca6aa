#pragma once
// Every value of one registry key, saved when the object is made and put back exactly when
// it goes: values added meanwhile are removed, changed ones restored, and a key that did
// not exist is removed again. Tests share the Wine prefix's registry with each other and
// with the demo, so a test that lets a program write its settings keeps them this way.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace movarin::test {

class RegistrySnapshot {
 public:
  RegistrySnapshot(HKEY root, std::wstring key);
  ~RegistrySnapshot();
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

  struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };

 private:
  HKEY root_;
  std::wstring key_;
  bool existed_ = false;
  std::optional<std::vector<Value>> values_;  // nullopt: not there, or could not be read
};

}  // namespace movarin::test
