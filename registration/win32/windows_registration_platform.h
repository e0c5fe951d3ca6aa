#pragma once
// The register and unregister commands' platform on Windows: message boxes and shell
// starts owned by a window, files through the wide API, the ANSI code page.
#include <windows.h>

#include "registration/registration_platform.h"

namespace movarin::registration::win32 {

class WindowsRegistrationPlatform final : public RegistrationPlatform {
 public:
  // The window that owns message boxes and shell starts; it may be set once it exists.
  void SetOwner(HWND owner) { owner_ = owner; }

  std::optional<std::string> FromUtf8(std::string_view utf8) override;
  void ShowInformation(std::string_view text) override;
  base::Result<FileStart, base::FileReadError> ReadFileStart(const std::string& path,
                                                             std::size_t max_bytes) override;
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  bool RemoveFile(const std::string& path) override;
  void OpenThroughShell(const std::string& path) override;
  void StartMinimised(const std::string& command_line) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace movarin::registration::win32
