// Registry state a test puts back as it found it: the Wine prefix, and so its registry,
// is shared by every test that runs in it.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace movarin::test {

// Removes, on Restore (or destruction), every key added below `path` since the guard
// was made; the whole key when it did not exist then. Wine adds such keys for the audio
// devices a test's sound output finds, for instance.
class RegistryKeysGuard {
 public:
  RegistryKeysGuard(HKEY root, std::wstring path);
  ~RegistryKeysGuard() { Restore(); }
  RegistryKeysGuard(const RegistryKeysGuard&) = delete;
  RegistryKeysGuard& operator=(const RegistryKeysGuard&) = delete;
  RegistryKeysGuard(RegistryKeysGuard&& other) noexcept;
  RegistryKeysGuard& operator=(RegistryKeysGuard&&) = delete;

  void Restore();

 private:
  bool Collect(const std::wstring& path, std::set<std::wstring>& out) const;

  HKEY root_;
  std::wstring path_;
  bool existed_ = false;
  bool restored_ = false;
  std::set<std::wstring> before_;
};

// Guards of the keys where Wine notes the audio devices it finds.
std::vector<RegistryKeysGuard> GuardAudioDeviceKeys();

// Puts back, on Restore (or destruction), every value of one key as it was: values
// added since are deleted, changed or deleted ones written again with their type and
// data; a key that did not exist is removed again. Sub-keys are left alone.
class RegistryValuesGuard {
 public:
  RegistryValuesGuard(HKEY root, std::wstring path);
  ~RegistryValuesGuard() { Restore(); }
  RegistryValuesGuard(const RegistryValuesGuard&) = delete;
  RegistryValuesGuard& operator=(const RegistryValuesGuard&) = delete;

  void Restore();

 private:
  struct Value {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  static bool ReadValues(HKEY key, std::vector<Value>& out);

  HKEY root_;
  std::wstring path_;
  bool existed_ = false;
  bool restored_ = false;
  std::vector<Value> before_;
};

}  // namespace movarin::test
