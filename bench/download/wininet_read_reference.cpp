// wininet_read_reference <url>
// Reads the body in 64 KiB WinINet reads and throws it away, then prints
// "elapsed seconds: <s>" and "bytes: <n>": the speed WinINet itself reaches, against which
// the download engine's overhead is measured.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: wininet_read_reference <url>\n", stderr);
    return 2;
  }
  LARGE_INTEGER frequency{}, started{}, ended{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  HINTERNET session = InternetOpenW(L"MovarinBench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session) return 1;
  HINTERNET request = InternetOpenUrlW(
      session, argv[1], L"Range: bytes=0-\r\n", static_cast<DWORD>(-1),
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
  if (!request) {
    InternetCloseHandle(session);
    return 1;
  }
  std::vector<char> buffer(64 * 1024);
  unsigned long long total = 0;
  DWORD got = 0;
  while (InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got) && got > 0) {
    total += got;
  }
  InternetCloseHandle(request);
  InternetCloseHandle(session);
  QueryPerformanceCounter(&ended);
  std::printf("elapsed seconds: %.6f\nbytes: %llu\n",
              static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart),
              total);
  return 0;
}
