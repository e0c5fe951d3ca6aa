#pragma once
#include "settings/settings_store.h"

namespace movarin::settings {

// The store in the registry: HKCU\Software\VB and VBA Program Settings\MovarinFiles\OPTIONS,
// REG_SZ values, the per-user application-settings area all three programs share.
class RegistrySettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> ReadRaw(Key key) override;
  bool WriteRaw(Key key, const std::string& text) override;

  static std::string KeyPath();
};

}  // namespace movarin::settings
