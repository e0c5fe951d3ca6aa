#pragma once
// A block of memory inside another process, for the controls whose messages carry
// pointers (list views, headers): the pointers must point into the receiver's memory.
// The driver and the program under test must have the same pointer width.
#include <windows.h>

#include <cstddef>

#include "platform/win32/handles.h"

namespace movarin::e2e {

class RemoteMemory {
 public:
  // Opens the process owning window and reserves size bytes in it.
  RemoteMemory(HWND window, std::size_t size);
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory();

  explicit operator bool() const { return address_ != nullptr; }
  void* address() const { return address_; }
  // Address of the byte at offset, as the other process sees it.
  void* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t bytes);
  bool Read(std::size_t offset, void* data, std::size_t bytes) const;

 private:
  win32::UniqueKernelHandle process_;
  void* address_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace movarin::e2e
