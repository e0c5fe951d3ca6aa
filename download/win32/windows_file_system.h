#pragma once
// The engine's file operations on the Windows file system (UTF-8 paths in, wide APIs).
#include "download/download_engine.h"

namespace movarin::download::win32 {

class WindowsFileSystem final : public FileSystem {
 public:
  bool FolderExists(const std::string& folder) override;
  base::Result<void, Failure> CreateFolder(const std::string& folder) override;
  // GetDiskFreeSpace of the root: free clusters * sectors per cluster * bytes per sector.
  base::Result<std::uint64_t, Failure> FreeBytes(const std::string& root) override;
  // A base::ReplacingFile (a temporary file beside the destination, renamed over it),
  // written in blocks rather than in the engine's 1 KiB chunks.
  base::Result<std::unique_ptr<ReplacingOutput>, Failure> OpenReplacing(
      const std::string& destination) override;
};

// A failure for a Windows error code, numbered and worded like the file errors users know
// ("Error 76: Path not found"); codes without such a number keep their own.
Failure FileFailure(unsigned long code);
// The same for a failure of the C runtime's file functions (an errno value).
Failure RuntimeFileFailure(const Failure& failure);

}  // namespace movarin::download::win32
