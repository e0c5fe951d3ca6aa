#include "tests/e2e/driver/registry_read.h"

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::e2e {
namespace {

win32::UniqueRegKey Open(HKEY root, const std::string& key) {
  win32::UniqueRegKey handle;
  if (RegOpenKeyExW(root, win32::Widen(key).c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) {
    handle.reset();
  }
  return handle;
}

// Values the tests read are short; a bound keeps a strange value from allocating much.
constexpr DWORD kMaxValueBytes = 1 << 20;

}  // namespace

std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key,
                                              const std::string& name) {
  auto handle = Open(root, key);
  if (!handle) return std::nullopt;
  const std::wstring wname = win32::Widen(name);
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(handle.get(), wname.c_str(), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxValueBytes) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(handle.get(), wname.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(buffer.data(), std::min<std::size_t>(bytes / sizeof(wchar_t), buffer.size()));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return win32::Narrow(text);
}

std::optional<DWORD> ReadRegistryDword(HKEY root, const std::string& key,
                                       const std::string& name) {
  auto handle = Open(root, key);
  if (!handle) return std::nullopt;
  DWORD type = 0, value = 0, bytes = sizeof value;
  if (RegQueryValueExW(handle.get(), win32::Widen(name).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
      type != REG_DWORD || bytes != sizeof value) {
    return std::nullopt;
  }
  return value;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
  return static_cast<bool>(Open(root, key));
}

bool DeleteRegistryTree(HKEY root, const std::string& key) {
  RegDeleteTreeW(root, win32::Widen(key).c_str());
  RegDeleteKeyW(root, win32::Widen(key).c_str());
  return !RegistryKeyExists(root, key);
}

}  // namespace movarin::e2e
