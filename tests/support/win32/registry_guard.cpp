#include "tests/support/win32/registry_guard.h"

#include <utility>

namespace movarin::test {

RegistryKeysGuard::RegistryKeysGuard(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
  existed_ = Collect(path_, before_);
}

RegistryKeysGuard::RegistryKeysGuard(RegistryKeysGuard&& other) noexcept
    : root_(other.root_),
      path_(std::move(other.path_)),
      existed_(other.existed_),
      restored_(std::exchange(other.restored_, true)),
      before_(std::move(other.before_)) {}

void RegistryKeysGuard::Restore() {
  if (restored_) return;
  restored_ = true;
  if (!existed_) {
    RegDeleteTreeW(root_, path_.c_str());
    return;
  }
  std::set<std::wstring> now;
  Collect(path_, now);
  for (const std::wstring& key : now) {
    if (before_.count(key)) continue;
    const auto parent = key.substr(0, key.rfind(L'\\'));
    if (parent != path_ && !before_.count(parent)) continue;  // goes with a new parent
    RegDeleteTreeW(root_, key.c_str());
  }
}

bool RegistryKeysGuard::Collect(const std::wstring& path, std::set<std::wstring>& out) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring child = path + L"\\" + name;
    out.insert(child);
    Collect(child, out);
  }
  RegCloseKey(key);
  return true;
}

std::vector<RegistryKeysGuard> GuardAudioDeviceKeys() {
  std::vector<RegistryKeysGuard> guards;
  guards.emplace_back(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers");
  guards.emplace_back(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\MMDevices");
  return guards;
}

}  // namespace movarin::test
