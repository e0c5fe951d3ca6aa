#include "tests/support/win32/registry_snapshot.h"

#include "platform/win32/handles.h"

namespace movarin::test {
namespace {

using Values = std::vector<RegistrySnapshot::Value>;

std::optional<Values> ReadValues(HKEY key) {
  Values values;
  for (DWORD index = 0;; ++index) {
    RegistrySnapshot::Value value;
    // A value name has at most 16383 characters.
    value.name.assign(16384, L'\0');
    DWORD name_length = static_cast<DWORD>(value.name.size());
    DWORD size = 0;
    LSTATUS status = RegEnumValueW(key, index, value.name.data(), &name_length, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) return values;
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.name.resize(name_length);
    value.data.resize(size);
    status = RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type,
                              value.data.empty() ? nullptr : value.data.data(), &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.data.resize(size);
    values.push_back(std::move(value));
  }
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(HKEY root, std::wstring key) : root_(root), key_(std::move(key)) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  win32::UniqueRegKey owned(opened);
  existed_ = true;
  values_ = ReadValues(owned.get());
}

RegistrySnapshot::~RegistrySnapshot() {
  if (!existed_) {
    RegDeleteTreeW(root_, key_.c_str());
    RegDeleteKeyW(root_, key_.c_str());
    return;
  }
  // A key that could not be read is left as it is rather than emptied.
  if (!values_) return;
  HKEY created = nullptr;
  if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &created, nullptr) !=
      ERROR_SUCCESS)
    return;
  win32::UniqueRegKey key(created);
  // Everything there now goes, then the saved values come back.
  if (auto now = ReadValues(key.get())) {
    for (const Value& value : *now) RegDeleteValueW(key.get(), value.name.c_str());
  }
  for (const Value& value : *values_) {
    RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                   static_cast<DWORD>(value.data.size()));
  }
}

}  // namespace movarin::test
