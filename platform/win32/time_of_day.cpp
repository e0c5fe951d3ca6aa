#include "platform/win32/time_of_day.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace movarin::win32 {

std::string TimeOfDayNow() {
  wchar_t text[64] = {};
  if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, text, 64) <= 0) return {};
  return Narrow(text);
}

}  // namespace movarin::win32
