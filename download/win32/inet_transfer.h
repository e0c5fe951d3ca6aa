#pragma once
// The engine's transfer over WinINet. The blocking WinINet calls run on a worker thread,
// so the user-interface thread never blocks on the network: it polls "still executing"
// and takes body chunks from a bounded buffer that the worker fills, processing window
// messages whenever it has to wait. The worker alone opens, uses and closes the WinINet
// handles; Cancel only tells it to stop, and every wait of the caller returns at once.
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "download/download_engine.h"

namespace movarin::download::win32 {

struct InternetCalls;

class InetTransfer final : public Transfer {
 public:
  // process_messages runs whenever a wait sees window input, so the host stays
  // responsive (and can call Cancel) while a request or a read waits.
  explicit InetTransfer(std::function<void()> process_messages);
  // The same over the given WinINet functions (internet_calls.h), which must outlive
  // every request's worker.
  InetTransfer(std::function<void()> process_messages, const InternetCalls& calls);
  InetTransfer(const InetTransfer&) = delete;
  InetTransfer& operator=(const InetTransfer&) = delete;
  ~InetTransfer() override;

  void SetAddress(const std::string& url) override { address_ = url; }
  std::string Address() const override { return address_; }
  void SetCredentials(const std::string& user_name, const std::string& password) override;
  base::Result<void, Failure> StartRequest(const std::string& verb, const std::string& body,
                                          const std::string& extra_headers) override;
  bool StillExecuting() override;
  base::Result<std::string, Failure> HeaderBlock() override;
  std::string Header(const std::string& name) override;
  Chunk ReadChunk(std::size_t max_bytes) override;
  void Cancel() override;

  // Bytes the worker may hold ahead of the reader: memory stays flat in the file size.
  static constexpr std::size_t kBufferBytes = 1u << 20;

  struct Shared;

 private:
  void FinishWorker();
  // Waits up to timeout_ms for the worker's signal or for window input; processes the
  // messages when input arrived.
  void Wait(unsigned timeout_ms);

  std::function<void()> process_messages_;
  const InternetCalls& calls_;
  std::string address_;
  std::string user_name_;
  std::string password_;
  // The next `count` bytes of taken_ (valid until taken_ changes, at the next read).
  Chunk TakeChunk(std::size_t count);

  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  // Body bytes moved out of the shared buffer, served chunk by chunk without locking.
  std::vector<std::uint8_t> taken_;
  std::size_t taken_pos_ = 0;
  bool cancel_requested_ = false;
};

// The text of a WinINet or system error code ("The operation timed out").
std::string DescribeInternetError(unsigned long code);

}  // namespace movarin::download::win32
