#include "tests/e2e/driver/remote_memory.h"

namespace movarin::e2e {

RemoteMemory::RemoteMemory(HWND window, std::size_t size) : size_(size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == 0 || size == 0) return;
  process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                 PROCESS_QUERY_INFORMATION,
                             FALSE, pid));
  if (!process_) return;
  address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE,
                            PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
  if (address_) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(std::size_t offset, const void* data, std::size_t bytes) {
  if (!address_ || offset > size_ || bytes > size_ - offset) return false;
  SIZE_T done = 0;
  return WriteProcessMemory(process_.get(), at(offset), data, bytes, &done) && done == bytes;
}

bool RemoteMemory::Read(std::size_t offset, void* data, std::size_t bytes) const {
  if (!address_ || offset > size_ || bytes > size_ - offset) return false;
  SIZE_T done = 0;
  return ReadProcessMemory(process_.get(), at(offset), data, bytes, &done) && done == bytes;
}

}  // namespace movarin::e2e
