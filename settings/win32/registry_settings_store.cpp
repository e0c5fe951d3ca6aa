#include "settings/win32/registry_settings_store.h"

#include "platform/win32/registry.h"

namespace movarin::settings {

std::string RegistrySettingsStore::KeyPath() {
  return "Software\\VB and VBA Program Settings\\" + std::string(kApplication) + "\\" +
         std::string(kSection);
}

std::optional<std::string> RegistrySettingsStore::ReadRaw(Key key) {
  return win32::ReadUserString(KeyPath(), std::string(Info(key).name));
}

bool RegistrySettingsStore::WriteRaw(Key key, const std::string& text) {
  return win32::WriteUserString(KeyPath(), std::string(Info(key).name), text);
}

}  // namespace movarin::settings
