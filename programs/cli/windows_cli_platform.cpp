#include "programs/cli/windows_cli_platform.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/files.h"
#include "download/win32/inet_download.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::cli::win32 {
namespace {

using movarin::win32::Narrow;
using movarin::win32::Widen;

base::Failure LastFailure() {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string description = text != nullptr ? Narrow(text) : "error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
    description.pop_back();
  return {static_cast<std::int64_t>(error), description};
}

// Collects what the engine reports about one download.
class Listener final : public download::DownloadListener {
 public:
  explicit Listener(const std::function<void(int)>& progress) : progress_(progress) {}
  void OnError(const std::string& message) override { error_ = message; }
  void OnStatus(const std::string&) override {}
  void OnComplete() override { complete_ = true; }
  void OnProgress(int percent) override {
    if (percent != last_percent_) progress_(percent);
    last_percent_ = percent;
  }
  bool complete() const { return complete_; }
  const std::string& error() const { return error_; }

 private:
  const std::function<void(int)>& progress_;
  std::string error_;
  bool complete_ = false;
  int last_percent_ = -1;
};

}  // namespace

WindowsCliPlatform::WindowsCliPlatform() : out_(GetStdHandle(STD_OUTPUT_HANDLE)) {
  SetConsoleOutputCP(CP_UTF8);
}

void WindowsCliPlatform::Write(std::string_view bytes) {
  if (out_ == nullptr || out_ == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WindowsCliPlatform::PrintLine(std::string_view text) {
  std::string line;
  if (in_place_length_ > 0) {
    // The report takes the progress line's place; blanks cover what it leaves over.
    line = '\r';
    line += text;
    if (text.size() < in_place_length_) line.append(in_place_length_ - text.size(), ' ');
    in_place_length_ = 0;
  } else {
    line = std::string(text);
  }
  line += "\r\n";
  Write(line);
}

void WindowsCliPlatform::PrintInPlace(std::string_view text) {
  std::string line(1, '\r');
  line += text;
  if (text.size() < in_place_length_) line.append(in_place_length_ - text.size(), ' ');
  in_place_length_ = std::max(in_place_length_, text.size());
  Write(line);
}

base::Result<void, std::string> WindowsCliPlatform::Download(
    const std::string& url, const std::string& destination, const download::ExpectedDigest& digest,
    const std::function<void(int)>& progress) {
  download::win32::InetDownload download;
  Listener listener(progress);
  download.engine().SetListener(&listener);
  const bool done = download.engine().Download(url, destination, digest);
  if (done && listener.complete()) return {};
  if (!listener.error().empty()) return listener.error();
  return std::string("the download ended before the whole file arrived");
}

base::Result<registration::FileStart, base::FileReadError> WindowsCliPlatform::ReadFileStart(
    const std::string& path, std::size_t max_bytes) {
  return files_.ReadFileStart(path, max_bytes);
}

std::string WindowsCliPlatform::SystemFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return "C:\\windows\\system32";
  return Narrow(std::wstring_view(buffer, length));
}

bool WindowsCliPlatform::CanWriteSystemFolder() {
  // A probe file that the system removes when its handle closes: creating it needs the
  // same right as copying a library there, and it never outlives this call.
  const std::wstring folder = Widen(SystemFolder());
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring probe = folder + L"\\movarin-cli-" + std::to_wstring(GetCurrentProcessId()) +
                               L"-" + std::to_wstring(attempt) + L".probe";
    movarin::win32::UniqueFile file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                                nullptr));
    if (file) return true;
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::optional<std::string> WindowsCliPlatform::MakeScratchFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  std::wstring base(temp, length);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = base + L"\\movarin-cli-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount64() % 100000) + L"-" +
                                std::to_wstring(attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return Narrow(folder);
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

void WindowsCliPlatform::RemoveFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(Widen(folder)), ignored);
}

base::Result<void, base::Failure> WindowsCliPlatform::CopyOver(const std::string& source,
                                                               const std::string& destination) {
  // Written beside and then put in place: a copy that fails half-way must not leave a
  // broken library where a working one was.
  constexpr std::size_t kMaxLibraryBytes = std::size_t{1} << 30;
  auto bytes = base::ReadWholeFile(source, kMaxLibraryBytes);
  if (!bytes) return base::Failure{0, std::string(base::FileReadErrorText(bytes.error()))};
  return base::ReplaceFileContents(base::PathFromUtf8(destination), *bytes);
}

base::Result<std::int64_t, base::Failure> WindowsCliPlatform::RunRegsvr32(
    const std::string& arguments) {
  // The regsvr32 of the system folder, of the same width as this program and the
  // libraries it installs.
  const std::wstring program = Widen(SystemFolder() + "\\regsvr32.exe");
  std::wstring command_line = L"\"" + program + L"\" " + Widen(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return LastFailure();
  }
  movarin::win32::UniqueKernelHandle process_handle(process.hProcess);
  movarin::win32::UniqueKernelHandle thread_handle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.hProcess, &code)) return LastFailure();
  return static_cast<std::int64_t>(code);
}

}  // namespace movarin::cli::win32
