#pragma once
// The per-user key-value store of text values. Every program reaches it through
// this interface; the registry holds it on Windows, memory in unit tests.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_keys.h"

namespace movarin::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or nullopt when the key is absent. Texts are UTF-8.
  virtual std::optional<std::string> ReadRaw(Key key) = 0;
  // Creates or replaces the value; false when the store refused (callers go on).
  virtual bool WriteRaw(Key key, const std::string& text) = 0;

  // The stored text, or the key's default when it is absent.
  std::string Read(Key key);
  // A switch: nullopt when the stored text cannot be converted; the default when absent.
  std::optional<bool> ReadSwitch(Key key);
  bool Write(Key key, const std::string& text) { return WriteRaw(key, text); }
  bool WriteSwitch(Key key, bool value);
};

// Keeps the values in memory: for unit tests of the windows' decisions.
class MemorySettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> ReadRaw(Key key) override;
  bool WriteRaw(Key key, const std::string& text) override;
  // Every write in order, so tests can check who writes what when.
  const std::map<Key, std::string>& Values() const { return values_; }
  const std::vector<Key>& WriteLog() const { return write_log_; }

 private:
  std::map<Key, std::string> values_;
  std::vector<Key> write_log_;
};

}  // namespace movarin::settings
