#include "settings/settings_store.h"

namespace movarin::settings {

std::string SettingsStore::Read(Key key) {
  if (auto v = ReadRaw(key)) return *v;
  return std::string(Info(key).fallback);
}

std::optional<bool> SettingsStore::ReadSwitch(Key key) { return ParseSwitch(Read(key)); }

bool SettingsStore::WriteSwitch(Key key, bool value) {
  return WriteRaw(key, std::string(SwitchText(value)));
}

std::optional<std::string> MemorySettingsStore::ReadRaw(Key key) {
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool MemorySettingsStore::WriteRaw(Key key, const std::string& text) {
  values_[key] = text;
  write_log_.push_back(key);
  return true;
}

}  // namespace movarin::settings
