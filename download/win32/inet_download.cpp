#include "download/win32/inet_download.h"

#include <windows.h>

#include "platform/win32/message_pump.h"

namespace movarin::download::win32 {

InetDownload::InetDownload(std::function<void()> process_messages)
    : process_messages_(process_messages ? std::move(process_messages)
                                         : std::function<void()>(&movarin::win32::ProcessPendingMessages)),
      transfer_(process_messages_),
      engine_(transfer_, files_, [this] { ProcessMessagesBetweenChunks(); }) {}

void InetDownload::ProcessMessagesBetweenChunks() {
  const unsigned long long now = GetTickCount64();
  if (now - last_pump_ms_ < kPumpIntervalMs) return;
  last_pump_ms_ = now;
  process_messages_();
}

}  // namespace movarin::download::win32
