// Registry keys a test puts back as it found them: the Wine prefix, and so its registry,
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

}  // namespace movarin::test
