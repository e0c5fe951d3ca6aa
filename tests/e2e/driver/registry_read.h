#pragma once
// Registry values the program under test wrote (the Wine registry is shared by all
// processes of the prefix).
#include <windows.h>

#include <optional>
#include <string>

namespace movarin::e2e {

// A REG_SZ / REG_EXPAND_SZ value (unexpanded); nullopt when absent or of another type.
std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key,
                                              const std::string& name);
std::optional<DWORD> ReadRegistryDword(HKEY root, const std::string& key,
                                       const std::string& name);
bool RegistryKeyExists(HKEY root, const std::string& key);
// Removes the key with everything below it; true when it is gone afterwards.
bool DeleteRegistryTree(HKEY root, const std::string& key);

}  // namespace movarin::e2e
