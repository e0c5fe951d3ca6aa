#include "download/win32/inet_download.h"

#include "platform/win32/message_pump.h"

namespace movarin::download::win32 {

InetDownload::InetDownload(std::function<void()> process_messages)
    : process_messages_(process_messages ? std::move(process_messages)
                                         : std::function<void()>(&movarin::win32::ProcessPendingMessages)),
      transfer_(process_messages_),
      engine_(transfer_, files_, process_messages_) {}

}  // namespace movarin::download::win32
