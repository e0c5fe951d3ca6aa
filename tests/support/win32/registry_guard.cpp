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

RegistryValuesGuard::RegistryValuesGuard(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  existed_ = ReadValues(key, before_);
  RegCloseKey(key);
}

bool RegistryValuesGuard::ReadValues(HKEY key, std::vector<Value>& out) {
  DWORD count = 0, longest_name = 0, longest_data = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest_name,
                       &longest_data, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  for (DWORD i = 0; i < count; ++i) {
    Value value;
    std::vector<wchar_t> name(longest_name + 1);
    value.data.resize(longest_data);
    DWORD name_length = static_cast<DWORD>(name.size());
    DWORD data_length = static_cast<DWORD>(value.data.size());
    if (RegEnumValueW(key, i, name.data(), &name_length, nullptr, &value.type, value.data.data(),
                      &data_length) != ERROR_SUCCESS)
      return false;
    value.name.assign(name.data(), name_length);
    value.data.resize(data_length);
    out.push_back(std::move(value));
  }
  return true;
}

void RegistryValuesGuard::Restore() {
  if (restored_) return;
  restored_ = true;
  if (!existed_) {
    RegDeleteTreeW(root_, path_.c_str());
    return;
  }
  HKEY key = nullptr;
  if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  std::vector<Value> now;
  ReadValues(key, now);
  for (const Value& value : now) RegDeleteValueW(key, value.name.c_str());
  for (const Value& value : before_) {
    RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                   static_cast<DWORD>(value.data.size()));
  }
  RegCloseKey(key);
}

}  // namespace movarin::test
