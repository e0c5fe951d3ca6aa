#include "platform/win32/registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::win32 {

namespace {
// A settings value is a path or a switch; anything longer is not ours.
constexpr DWORD kMaxValueBytes = 64 * 1024;
}  // namespace

std::optional<std::string> ReadUserString(const std::string& key_path, const std::string& name) {
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key_path).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring wname = Widen(name);
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxValueBytes) return std::nullopt;
  std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf.data()), &got) != ERROR_SUCCESS)
    return std::nullopt;
  std::size_t len = got / sizeof(wchar_t);
  if (len > buf.size()) len = buf.size();
  // The stored size may or may not include the terminating NUL.
  std::wstring_view text(buf.data(), len);
  if (auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
  return Narrow(text);
}

bool WriteUserString(const std::string& key_path, const std::string& name, const std::string& value) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key_path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring wvalue = Widen(value);
  const DWORD bytes = static_cast<DWORD>((wvalue.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wvalue.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace movarin::win32
