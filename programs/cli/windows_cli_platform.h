#pragma once
// movarin-cli's platform on Windows: the console, the download engine on WinINet, the
// system folder and regsvr32 started as a process and waited for.
#include <windows.h>

#include <cstddef>
#include <string>

#include "programs/cli/cli_logic.h"
#include "registration/win32/windows_registration_platform.h"

namespace movarin::cli::win32 {

class WindowsCliPlatform final : public CliPlatform {
 public:
  WindowsCliPlatform();

  void PrintLine(std::string_view text) override;
  void PrintInPlace(std::string_view text) override;
  base::Result<void, std::string> Download(const std::string& url, const std::string& destination,
                                           const download::ExpectedDigest& digest,
                                           const std::function<void(int)>& progress) override;
  base::Result<registration::FileStart, base::FileReadError> ReadFileStart(
      const std::string& path, std::size_t max_bytes) override;
  std::string SystemFolder() override;
  bool CanWriteSystemFolder() override;
  std::optional<std::string> MakeScratchFolder() override;
  void RemoveFolder(const std::string& folder) override;
  base::Result<void, base::Failure> CopyOver(const std::string& source,
                                             const std::string& destination) override;
  base::Result<std::int64_t, base::Failure> RunRegsvr32(const std::string& arguments) override;

 private:
  void Write(std::string_view bytes);

  HANDLE out_;
  std::size_t in_place_length_ = 0;  // length of the progress line now shown, 0 for none
  registration::win32::WindowsRegistrationPlatform files_;
};

}  // namespace movarin::cli::win32
