#pragma once
// The WinINet functions the transfer calls, gathered in one table. The program uses the
// system's own; a test can put thin wrappers around them to watch, on the real WinINet,
// which thread opens, uses and closes each handle.
#include <windows.h>
#include <wininet.h>

namespace movarin::download::win32 {

struct InternetCalls {
  decltype(&::InternetOpenW) open = ::InternetOpenW;
  decltype(&::InternetConnectW) connect = ::InternetConnectW;
  decltype(&::InternetSetOptionW) set_option = ::InternetSetOptionW;
  decltype(&::HttpOpenRequestW) open_request = ::HttpOpenRequestW;
  decltype(&::HttpSendRequestW) send_request = ::HttpSendRequestW;
  decltype(&::HttpQueryInfoW) query_info = ::HttpQueryInfoW;
  decltype(&::InternetReadFile) read_file = ::InternetReadFile;
  decltype(&::InternetCloseHandle) close = ::InternetCloseHandle;

  // The system's functions.
  static const InternetCalls& System() {
    static const InternetCalls calls;
    return calls;
  }
};

}  // namespace movarin::download::win32
