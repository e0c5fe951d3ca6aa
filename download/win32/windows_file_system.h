#pragma once
// The engine's file operations on the Windows file system (UTF-8 paths in, wide APIs).
#include "download/download_engine.h"

namespace movarin::download::win32 {

class WindowsFileSystem final : public FileSystem {
 public:
  bool FolderExists(const std::string& folder) override;
  std::optional<Failure> CreateFolder(const std::string& folder) override;
  // GetDiskFreeSpace of the root: free clusters * sectors per cluster * bytes per sector.
  std::optional<Failure> FreeBytes(const std::string& root, std::uint64_t& bytes) override;
  // "<destination>.<n>.part", created new so no other file is ever opened by mistake.
  std::optional<Failure> CreateTempBeside(const std::string& destination, std::string& temp_path,
                                          std::unique_ptr<OutputFile>& file) override;
  std::optional<Failure> MoveIntoPlace(const std::string& from, const std::string& to) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
};

// A failure for a Windows error code, numbered and worded like the file errors users know
// ("Error 76: Path not found"); codes without such a number keep their own.
Failure FileFailure(unsigned long code);

}  // namespace movarin::download::win32
