#pragma once
// Text values under one per-user registry key.
#include <optional>
#include <string>

namespace movarin::win32 {

// Reads a REG_SZ (or REG_EXPAND_SZ, unexpanded) value under HKEY_CURRENT_USER\<key_path>;
// nullopt when the key or the value is absent or is not text.
std::optional<std::string> ReadUserString(const std::string& key_path, const std::string& name);

// Creates the key when needed and writes a REG_SZ value; false on any failure.
bool WriteUserString(const std::string& key_path, const std::string& name, const std::string& value);

}  // namespace movarin::win32
