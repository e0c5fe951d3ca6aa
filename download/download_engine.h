#pragma once
// The download engine `dl`: fetches one file over HTTP into a local path and reports
// what happens through four events. It is portable: it drives a transfer (the HTTP
// request), a file system and a "process pending messages" callback given by its host,
// so the same steps run against WinINet and the disk on Windows and against fakes in
// unit tests.
//
// Downloadfile runs the whole transfer before it returns. While it waits it calls the
// host's message callback, so event handlers of the host (a cancel button, a timer) run
// inside the call; they may call cancel() at any time.
//
// The body is written to a temporary file beside the destination and put in place only
// when it is complete, so a failed or cancelled download never destroys an existing file
// of the same name.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace movarin::download {

// A failed platform operation: a number and a description text, as the messages quote
// them ("Error 76: Path not found").
struct Failure {
  std::int64_t number = 0;
  std::string description;
};

// Receives the engine's events, raised synchronously inside Downloadfile. The texts are
// the engine's own (see download_messages.h); hosts only read them.
class DownloadListener {
 public:
  virtual ~DownloadListener() = default;
  // A failure; the text is one of the engine's messages.
  virtual void DownloadErrors(const std::string& error) = 0;
  // A status change: "Getting file information" at the start of each download.
  virtual void DownloadEvents(const std::string& event) = 0;
  // The whole body arrived, was put in place and the download was not cancelled.
  virtual void DowloadComplete() = 0;
  // After every chunk written: a whole decimal number such as "57".
  virtual void DownloadProgress(const std::string& percent) = 0;
};

// How a chunk read ended.
enum class ChunkStatus {
  kData,        // 1..max bytes were delivered
  kEndOfBody,   // nothing more: the server ended its message normally
  kBroken,      // nothing more: the body was cut off (reset, time-out, cancelled)
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
  virtual std::optional<Failure> StartRequest(const std::string& verb, const std::string& body,
                                              const std::string& extra_headers) = 0;
  // True until the response headers are available (or the request failed). May wait a
  // little, while keeping the user interface responsive, to save polling.
  virtual bool StillExecuting() = 0;
  // The whole response header text, starting with the status line "HTTP/1.1 200 OK", so
  // the status code stands at characters 10 to 12. A failure when the request failed.
  virtual std::optional<Failure> HeaderBlock(std::string& block) = 0;
  // The value of one response header (name matched without regard to case), empty text
  // when it is absent.
  virtual std::string Header(const std::string& name) = 0;
  // The next 1..max_bytes bytes of the body into `chunk` (replaced). Waits for data while
  // keeping the user interface responsive; returns kBroken at once after Cancel.
  virtual ChunkStatus ReadChunk(std::size_t max_bytes, std::vector<std::uint8_t>& chunk) = 0;
  // Ends any running request; harmless when none runs. Callable from inside the waits
  // above (a host's cancel button runs there).
  virtual void Cancel() = 0;
};

// A file open for writing; closed by Close() or, without a report, by its destructor.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual std::optional<Failure> Write(const std::uint8_t* data, std::size_t size) = 0;
  virtual std::optional<Failure> Close() = 0;
};

// The file operations the engine needs. Paths are UTF-8 Windows paths ("C:\dir\a.ocx").
// (No method is named like a Windows API macro such as DeleteFile or ReplaceFile.)
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // `folder` ends in "\" ("C:\dir\").
  virtual bool FolderExists(const std::string& folder) = 0;
  // Creates one folder level; fails when its parent is missing.
  virtual std::optional<Failure> CreateFolder(const std::string& folder) = 0;
  // Free bytes available on the drive whose root is `root` ("C:\").
  virtual std::optional<Failure> FreeBytes(const std::string& root, std::uint64_t& bytes) = 0;
  // Creates a new, empty file with a unique name in the destination's folder and opens
  // it for writing; `temp_path` receives its path.
  virtual std::optional<Failure> CreateTempBeside(const std::string& destination,
                                                  std::string& temp_path,
                                                  std::unique_ptr<OutputFile>& file) = 0;
  // Moves `from` to `to`, replacing a file that exists there.
  virtual std::optional<Failure> MoveIntoPlace(const std::string& from, const std::string& to) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
};

// Processes the host's pending window messages.
using ProcessMessages = std::function<void()>;

class dl {
 public:
  // All three must outlive the engine. The listener may be changed between downloads.
  dl(Transfer& transfer, FileSystem& files, ProcessMessages process_messages);
  dl(const dl&) = delete;
  dl& operator=(const dl&) = delete;

  void SetListener(DownloadListener* listener) { listener_ = listener; }

  // Asks the running download to stop; it ends silently (no message, nothing left
  // behind, result false). Allowed at any time; the flag stays set until the next
  // Downloadfile.
  void cancel();

  // Downloads strURL into strDestination (a full local path). True when the file is
  // complete and in place. A call made while a download runs (from an event handler)
  // is refused with false and no event.
  bool Downloadfile(const std::string& strURL, const std::string& strDestination,
                    const std::string& UserName = {}, const std::string& Password = {});

  bool Running() const { return running_; }
  bool Cancelled() const { return cancel_flag_; }

  // Chunk size of the body copy.
  static constexpr std::size_t kChunkBytes = 1024;

 private:
  struct Call;
  bool RequestPhase(Call& call);
  void TransferPhase(Call& call);
  bool Close(Call& call);
  void RaiseError(const std::string& text);
  void RaiseEvent(const std::string& text);
  void RaiseProgress(const std::string& percent);
  void RaiseComplete();

  Transfer& transfer_;
  FileSystem& files_;
  ProcessMessages process_messages_;
  DownloadListener* listener_ = nullptr;
  bool cancel_flag_ = false;
  bool running_ = false;
};

}  // namespace movarin::download
