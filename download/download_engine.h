#pragma once
// The download engine (the `dl` control): fetches one file over HTTP into a local path
// and reports what happens through four events. It is portable: it drives a transfer
// (the HTTP request), a file system and a "process pending messages" callback given by
// its host, so the same steps run against WinINet and the disk on Windows and against
// fakes in unit tests.
//
// Download runs the whole transfer before it returns. While it waits it calls the host's
// message callback, so event handlers of the host (a cancel button, a timer) run inside
// the call; they may call Cancel() at any time.
//
// The body is written to a temporary file beside the destination and put in place only
// when it is complete, so a failed or cancelled download never destroys an existing file
// of the same name. With an expected digest, the body is hashed as it is written and a
// body that does not match is reported as a failure and never put in place.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <span>
#include <vector>

#include "base/failure.h"
#include "base/result.h"
#include "base/sha256.h"
#include "download/expected_digest.h"

namespace movarin::download {

// A failed platform operation: a number and a description text, as the messages quote
// them ("Error 76: Path not found").
using base::Failure;

// Receives the engine's events, raised synchronously inside Download. The texts are the
// engine's own (see download_messages.h); hosts only read them.
class DownloadListener {
 public:
  virtual ~DownloadListener() = default;
  // A failure (the DownloadErrors event); the text is one of the engine's messages.
  virtual void OnError(const std::string& message) = 0;
  // A status change (DownloadEvents): "Getting file information" at the start of each
  // download.
  virtual void OnStatus(const std::string& status) = 0;
  // The whole body arrived, was put in place and the download was not cancelled
  // (DowloadComplete).
  virtual void OnComplete() = 0;
  // After every chunk written (DownloadProgress): the whole percentage, such as 57.
  virtual void OnProgress(int percent) = 0;
};

// How a chunk read ended.
enum class ChunkStatus {
  kData,        // 1..max bytes were delivered
  kEndOfBody,   // nothing more: the server ended its message normally
  kBroken,      // nothing more: the body was cut off (reset, time-out, cancelled)
};

// One read of the body: its bytes stay valid until the next read or request.
struct Chunk {
  ChunkStatus status = ChunkStatus::kBroken;
  std::span<const std::uint8_t> bytes;  // empty unless status is kData
};

// One HTTP request at a time, driven by the engine from the user-interface thread.
class Transfer {
 public:
  virtual ~Transfer() = default;
  // The address of the next request, and the address as the transfer reports it back.
  virtual void SetAddress(const std::string& url) = 0;
  virtual std::string Address() const = 0;
  // Sent as HTTP credentials when the server asks for them; empty means none.
  virtual void SetCredentials(const std::string& user_name, const std::string& password) = 0;
  // Starts a request and returns at once; the request goes on in the background.
  // extra_headers is header text ending in CR LF ("Range: bytes=0-\r\n").
  virtual base::Result<void, Failure> StartRequest(const std::string& verb, const std::string& body,
                                                  const std::string& extra_headers) = 0;
  // True until the response headers are available (or the request failed). May wait a
  // little, while keeping the user interface responsive, to save polling.
  virtual bool StillExecuting() = 0;
  // The whole response header text, starting with the status line "HTTP/1.1 200 OK", so
  // the status code stands at characters 10 to 12. A failure when the request failed.
  virtual base::Result<std::string, Failure> HeaderBlock() = 0;
  // The value of one response header (name matched without regard to case), empty text
  // when it is absent.
  virtual std::string Header(const std::string& name) = 0;
  // The next 1..max_bytes bytes of the body. Waits for data while keeping the user
  // interface responsive; returns kBroken at once after Cancel.
  virtual Chunk ReadChunk(std::size_t max_bytes) = 0;
  // Ends any running request; harmless when none runs. Callable from inside the waits
  // above (a host's cancel button runs there).
  virtual void Cancel() = 0;
};

// A new file being written beside its destination (write beside, then replace): it takes
// the destination's place only in Commit(). Destroyed without a successful Commit, it
// removes what it wrote and the destination stays as it was.
class ReplacingOutput {
 public:
  virtual ~ReplacingOutput() = default;
  virtual base::Result<void, Failure> Write(std::span<const std::uint8_t> bytes) = 0;
  // Finishes the file and puts it in the destination's place.
  virtual base::Result<void, Failure> Commit() = 0;
};

// The file operations the engine needs. Paths are UTF-8 Windows paths ("C:\dir\a.ocx").
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // `folder` ends in "\" ("C:\dir\").
  virtual bool FolderExists(const std::string& folder) = 0;
  // Creates one folder level; fails when its parent is missing.
  virtual base::Result<void, Failure> CreateFolder(const std::string& folder) = 0;
  // Free bytes available on the drive whose root is `root` ("C:\").
  virtual base::Result<std::uint64_t, Failure> FreeBytes(const std::string& root) = 0;
  // Starts a new file that will replace `destination` (see ReplacingOutput).
  virtual base::Result<std::unique_ptr<ReplacingOutput>, Failure> OpenReplacing(
      const std::string& destination) = 0;
};

// Processes the host's pending window messages.
using ProcessMessages = std::function<void()>;

class DownloadEngine {
 public:
  // All three must outlive the engine. The listener may be changed between downloads.
  DownloadEngine(Transfer& transfer, FileSystem& files, ProcessMessages process_messages);
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  void SetListener(DownloadListener* listener) { listener_ = listener; }

  // Asks the running download to stop (`cancel`); it ends silently (no message, nothing
  // left behind, result false). Allowed at any time; the flag stays set until the next
  // Download.
  void Cancel();

  // Downloads `url` into `destination` (a full local path) (`Downloadfile`). True when
  // the file is complete and in place. A call made while a download runs (from an event
  // handler) is refused with false and no event.
  bool Download(const std::string& url, const std::string& destination,
                const std::string& user_name = {}, const std::string& password = {});
  // The same, checking the body against `expected` before the file is put in place. A
  // mismatch raises OnError with the expected and the received digest; an unusable
  // digest is refused with OnError before any request.
  bool Download(const std::string& url, const std::string& destination, const ExpectedDigest& expected,
                const std::string& user_name = {}, const std::string& password = {});

  bool Running() const { return running_; }
  bool Cancelled() const { return cancel_flag_; }

  // Chunk size of the body copy.
  static constexpr std::size_t kChunkBytes = 1024;

 private:
  struct Call;
  bool RequestPhase(Call& call);
  void TransferPhase(Call& call);
  bool Close(Call& call);
  bool BodyMatches(Call& call);
  void RaiseError(const std::string& text);
  void RaiseEvent(const std::string& text);
  void RaiseProgress(int percent);
  void RaiseComplete();

  Transfer& transfer_;
  FileSystem& files_;
  ProcessMessages process_messages_;
  DownloadListener* listener_ = nullptr;
  bool cancel_flag_ = false;
  bool running_ = false;
};

}  // namespace movarin::download
