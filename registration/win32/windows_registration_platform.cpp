#include "registration/win32/windows_registration_platform.h"

#include <algorithm>

#include "base/files.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "registration/win32/ansi_code_page.h"
#include "registration/win32/shell.h"

namespace movarin::registration::win32 {

using movarin::win32::Widen;

std::optional<std::string> WindowsRegistrationPlatform::FromUtf8(std::string_view utf8) {
  return ToAnsiCodePage(utf8);
}

void WindowsRegistrationPlatform::ShowInformation(std::string_view text) {
  win32::ShowInformation(owner_, std::string(text));
}

base::Result<FileStart, base::FileReadError> WindowsRegistrationPlatform::ReadFileStart(
    const std::string& path, std::size_t max_bytes) {
  // Others may go on reading, writing or deleting the file meanwhile.
  movarin::win32::UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? base::FileReadError::kNotFound
                                                                          : base::FileReadError::kUnreadable;
  }
  // Only a file on a disk: a device or pipe name ("CON", "\\.\pipe\x") could block the read.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return base::FileReadError::kUnreadable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return base::FileReadError::kUnreadable;
  FileStart start;
  start.size = static_cast<std::uint64_t>(size.QuadPart);
  start.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(start.size, max_bytes)));
  std::size_t done = 0;
  while (done < start.bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(start.bytes.size() - done, 1 << 20));
    DWORD got = 0;
    if (!::ReadFile(file.get(), start.bytes.data() + done, want, &got, nullptr)) {
      return base::FileReadError::kUnreadable;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  start.bytes.resize(done);
  return start;
}

bool WindowsRegistrationPlatform::WriteFile(const std::string& path, std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return base::ReplaceFileContents(base::PathFromUtf8(path), {data, bytes.size()}).ok();
}

bool WindowsRegistrationPlatform::RemoveFile(const std::string& path) {
  if (DeleteFileW(Widen(path).c_str())) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void WindowsRegistrationPlatform::OpenThroughShell(const std::string& path) {
  win32::OpenThroughShell(owner_, path);
}

void WindowsRegistrationPlatform::StartMinimised(const std::string& command_line) {
  win32::StartMinimised(command_line);
}

}  // namespace movarin::registration::win32
