#include "download/win32/internet_file_control.h"

#include "platform/win32/message_pump.h"

namespace movarin::download::win32 {

InternetFileControl::InternetFileControl(std::function<void()> process_messages)
    : file_(api_, files_,
            process_messages ? std::move(process_messages)
                             : std::function<void()>(&movarin::win32::ProcessPendingMessages)) {}

}  // namespace movarin::download::win32
