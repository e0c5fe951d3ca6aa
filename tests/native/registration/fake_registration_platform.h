#pragma once
// A registration platform and settings store that record what the commands do, in one
// list of events in order:
//   "info: <text>"  "write <path>"  "remove <path>"  "open <path>"  "start <command line>"
//   "store <key>=<value>"
#include <map>
#include <set>
#include <string>
#include <vector>

#include "registration/registration_platform.h"
#include "settings/settings_store.h"

namespace movarin::registration::test {

class FakeRegistrationPlatform final : public RegistrationPlatform {
 public:
  std::vector<std::string> events;
  // Files by path: sources to be read, and what WriteFile left.
  std::map<std::string, std::string> files;
  std::set<std::string> unwritable;  // paths WriteFile fails on

  // A valid library at this path.
  void AddLibrary(const std::string& path);

  // The code page of the fake is Latin-1: every character up to U+00FF, nothing above.
  std::optional<std::string> FromUtf8(std::string_view utf8) override;
  void ShowInformation(std::string_view text) override;
  base::Result<FileStart, base::FileReadError> ReadFileStart(const std::string& path,
                                                             std::size_t max_bytes) override;
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  bool RemoveFile(const std::string& path) override;
  void OpenThroughShell(const std::string& path) override;
  void StartMinimised(const std::string& command_line) override;
};

// A settings store that records each write into the platform's event list.
class RecordingStore final : public settings::SettingsStore {
 public:
  explicit RecordingStore(std::vector<std::string>& events) : events_(events) {}
  std::map<settings::Key, std::string> values;
  std::set<settings::Key> refused;  // writes of these keys fail

  std::optional<std::string> ReadRaw(settings::Key key) override;
  bool WriteRaw(settings::Key key, const std::string& text) override;

 private:
  std::vector<std::string>& events_;
};

}  // namespace movarin::registration::test
