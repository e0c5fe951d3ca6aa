# The remote file control (HEAD information and a resumable copy over WinINet) and the
# one way the program fetches a small text or picture over HTTP.
movarin_library(movarin_remote_file
  SOURCES remote_file_headers.cpp internet_file.cpp
  LIBS movarin_download)
movarin_win32_library(movarin_remote_file_win32
  SOURCES win32/wininet_remote_file.cpp win32/internet_file_control.cpp
  LIBS movarin_remote_file movarin_platform_win32 wininet)
movarin_win32_library(movarin_http_fetch_win32
  SOURCES win32/http_fetch.cpp
  LIBS movarin_download_win32 movarin_base)
