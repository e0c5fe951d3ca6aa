#pragma once
// The download engine wired to WinINet and the Windows file system: what a window puts on
// itself to download files. Messages are processed with the program's pump unless the
// host gives its own.
#include <functional>

#include "download/download_engine.h"
#include "download/win32/inet_transfer.h"
#include "download/win32/windows_file_system.h"

namespace movarin::download::win32 {

class InetDownload {
 public:
  explicit InetDownload(std::function<void()> process_messages = {});
  InetDownload(const InetDownload&) = delete;
  InetDownload& operator=(const InetDownload&) = delete;

  DownloadEngine& engine() { return engine_; }

  // The engine asks to process messages after every 1 KiB chunk; a pass through the
  // message queue costs far more than copying the chunk, so between chunks the queue is
  // looked at no more often than this. (Waits for the network always process messages
  // as soon as input arrives.)
  static constexpr unsigned long long kPumpIntervalMs = 10;

 private:
  void ProcessMessagesBetweenChunks();

  std::function<void()> process_messages_;
  unsigned long long last_pump_ms_ = 0;
  InetTransfer transfer_;
  WindowsFileSystem files_;
  DownloadEngine engine_;
};

}  // namespace movarin::download::win32
