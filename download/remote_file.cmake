# The remote file control (HEAD information and a resumable copy over WinINet) and the
# one way the program fetches a small text or picture over HTTP.
movarin_library(movarin_remote_file
  SOURCES remote_file_headers.cpp internet_file.cpp
  LIBS movarin_download)
