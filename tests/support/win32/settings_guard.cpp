#include "tests/support/win32/settings_guard.h"

#include <iterator>

#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"

namespace movarin::test {

namespace {

std::wstring OptionsKey() { return win32::Widen(settings::RegistrySettingsStore::KeyPath()); }

}  // namespace

SettingsGuard::SettingsGuard() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, OptionsKey().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  existed_ = true;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD name_length = static_cast<DWORD>(std::size(name));
    DWORD type = 0, bytes = 0;
    if (RegEnumValueW(key, index, name, &name_length, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) break;
    Value value{type, std::vector<BYTE>(bytes)};
    DWORD read = bytes;
    if (RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &read) == ERROR_SUCCESS) {
      value.data.resize(read);
      values_[std::wstring(name, name_length)] = std::move(value);
    }
  }
  RegCloseKey(key);
}

SettingsGuard::~SettingsGuard() { Restore(); }

void SettingsGuard::Restore() const {
  RegDeleteTreeW(HKEY_CURRENT_USER, OptionsKey().c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, OptionsKey().c_str());
  if (!existed_) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, OptionsKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  for (const auto& [name, value] : values_) {
    RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
  }
  RegCloseKey(key);
}

}  // namespace movarin::test
