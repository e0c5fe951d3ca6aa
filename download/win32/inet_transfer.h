#pragma once
// The engine's transfer over WinINet. The blocking WinINet calls run on a worker thread,
// so the user-interface thread never blocks on the network: it polls "still executing"
// and takes body chunks straight out of a bounded ring buffer that the worker reads
// into, processing window messages whenever it has to wait. The worker alone opens, uses
// and closes the WinINet handles; Cancel only tells it to stop, and every wait of the
// caller returns at once.
//
// The worker thread lives as long as the transfer and serves one request after the
// other: starting a thread costs several milliseconds under Wine, which a request should
// not pay. A worker still held by a cancelled request (a stalled server) is left to end
// by itself, and the next request gets a new one.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

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
  struct Worker;

 private:
  // Hands a request to the worker, starting a new worker when there is none or when the
  // last one is still busy with an earlier request. False when no thread can be started.
  bool HandOver(const std::shared_ptr<Shared>& request);
  // Ends the worker: joined when idle, left to end by itself when a request holds it.
  void RetireWorker();
  // Waits up to timeout_ms for the worker's signal or for window input; processes the
  // messages when input arrived.
  void Wait(unsigned timeout_ms);
  // Processes the window messages, if any input arrived, at most every few milliseconds.
  void LookAtInput();
  // Gives the worker the room of the chunks already read.
  void Release(Shared& s);
  // The next `count` bytes at the read position, as one span.
  Chunk TakeChunk(Shared& s, std::size_t count);

  std::function<void()> process_messages_;
  const InternetCalls& calls_;
  std::string address_;
  std::string user_name_;
  std::string password_;

  std::shared_ptr<Worker> worker_state_;
  std::thread worker_;
  std::shared_ptr<Shared> shared_;
  // The reader's side of the ring, in bytes since the body began: what it has handed out
  // (the last chunk stays valid until the next read), what it has given back to the
  // worker, and how far the worker had written when it last looked.
  std::uint64_t read_position_ = 0;
  std::uint64_t released_ = 0;
  std::uint64_t known_end_ = 0;
  // A chunk that wraps around the end of the ring is copied here to be handed out whole.
  std::vector<std::uint8_t> wrapped_chunk_;
  bool cancel_requested_ = false;
  unsigned long long last_input_look_ = 0;
};

// The text of a WinINet or system error code ("The operation timed out").
std::string DescribeInternetError(unsigned long code);

}  // namespace movarin::download::win32
