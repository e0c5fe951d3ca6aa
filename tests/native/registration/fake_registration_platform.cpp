#include "tests/native/registration/fake_registration_platform.h"

#include <algorithm>

#include "base/utf.h"
#include "tests/native/pe/pe_test_image.h"

namespace movarin::registration::test {

void FakeRegistrationPlatform::AddLibrary(const std::string& path) {
  const auto image = pe::test::BuildImage().bytes;
  files[path] = std::string(image.begin(), image.end());
}

std::optional<std::string> FakeRegistrationPlatform::FromUtf8(std::string_view utf8) {
  const auto utf16 = base::Utf8ToUtf16Strict(utf8);
  if (!utf16) return std::nullopt;
  std::string out;
  for (char16_t unit : *utf16) {
    if (unit > 0xFF) return std::nullopt;
    out += static_cast<char>(unit);
  }
  return out;
}

void FakeRegistrationPlatform::ShowInformation(std::string_view text) {
  events.push_back("info: " + std::string(text));
}

base::Result<FileStart, base::FileReadError> FakeRegistrationPlatform::ReadFileStart(
    const std::string& path, std::size_t max_bytes) {
  auto it = files.find(path);
  if (it == files.end()) return base::FileReadError::kNotFound;
  FileStart start;
  start.size = it->second.size();
  start.bytes.assign(it->second.begin(),
                     it->second.begin() + static_cast<std::ptrdiff_t>(std::min(max_bytes, it->second.size())));
  return start;
}

bool FakeRegistrationPlatform::WriteFile(const std::string& path, std::string_view bytes) {
  events.push_back("write " + path);
  if (unwritable.count(path)) return false;
  files[path] = std::string(bytes);
  return true;
}

bool FakeRegistrationPlatform::RemoveFile(const std::string& path) {
  events.push_back("remove " + path);
  files.erase(path);
  return true;
}

void FakeRegistrationPlatform::OpenThroughShell(const std::string& path) {
  events.push_back("open " + path);
}

void FakeRegistrationPlatform::StartMinimised(const std::string& command_line) {
  events.push_back("start " + command_line);
}

std::optional<std::string> RecordingStore::ReadRaw(settings::Key key) {
  auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool RecordingStore::WriteRaw(settings::Key key, const std::string& text) {
  events_.push_back("store " + std::string(settings::Info(key).name) + "=" + text);
  if (refused.count(key)) return false;
  values[key] = text;
  return true;
}

}  // namespace movarin::registration::test
