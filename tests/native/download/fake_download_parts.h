#pragma once
// In-memory stand-ins for the engine's transfer, file system and listener, for unit
// tests of the engine's decisions. The real WinINet transfer and disk are proven by the
// Wine tests against the test server.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "download/download_engine.h"

namespace movarin::download::testing {

// A scripted HTTP answer.
class FakeTransfer final : public Transfer {
 public:
  std::string header_block;
  std::optional<Failure> start_failure;
  std::optional<Failure> header_failure;
  std::vector<std::uint8_t> body;
  // How many bytes one read delivers at most (the engine asks for 1024).
  std::size_t bytes_per_read = 1 << 20;
  // How the body ends after its last byte.
  ChunkStatus end = ChunkStatus::kEndOfBody;
  // Polls of StillExecuting that answer true.
  int busy_polls = 0;
  // Called before read number n (counting from 1) is answered.
  std::map<int, std::function<void()>> before_read;
  std::function<void()> on_poll;

  // What the engine did.
  std::string address;
  std::string user_name, password, verb, request_body, extra_headers;
  int starts = 0, reads = 0, cancels = 0;
  bool cancelled = false;
  // The bytes of the last read.
  std::vector<std::uint8_t> chunk;

  void SetAddress(const std::string& url) override { address = url; }
  std::string Address() const override { return address; }
  void SetCredentials(const std::string& user, const std::string& pass) override {
    user_name = user;
    password = pass;
  }
  base::Result<void, Failure> StartRequest(const std::string& v, const std::string& b,
                                          const std::string& extra) override;
  bool StillExecuting() override;
  base::Result<std::string, Failure> HeaderBlock() override;
  std::string Header(const std::string& name) override;
  Chunk ReadChunk(std::size_t max_bytes) override;
  void Cancel() override {
    ++cancels;
    cancelled = true;
  }

 private:
  std::size_t offset_ = 0;
};

// Files and folders in memory; drive roots with free space. A file being replaced lives
// under a temporary name beside its destination until it is committed.
class FakeFileSystem final : public FileSystem {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> folders;
  std::map<std::string, std::uint64_t> free_bytes;  // by root "C:\"
  std::optional<Failure> free_bytes_failure;
  // Writes fail once this many bytes are in the file.
  std::optional<std::size_t> write_limit;
  // Commit fails with this (the temporary file is then removed).
  std::optional<Failure> move_failure;

  std::vector<std::string> free_space_queries;
  std::vector<std::string> temp_paths;

  bool FolderExists(const std::string& folder) override { return folders.count(folder) != 0; }
  base::Result<void, Failure> CreateFolder(const std::string& folder) override;
  base::Result<std::uint64_t, Failure> FreeBytes(const std::string& root) override;
  base::Result<std::unique_ptr<ReplacingOutput>, Failure> OpenReplacing(
      const std::string& destination) override;
  bool FileExists(const std::string& path) const { return files.count(path) != 0; }

  std::string Text(const std::string& path) const;
};

// Records every event as one line: "Events: ...", "Errors: ...", "Progress: 34",
// "Complete".
class RecordingListener final : public DownloadListener {
 public:
  std::vector<std::string> lines;
  std::function<void(int)> on_progress;
  void OnError(const std::string& e) override { lines.push_back("Errors: " + e); }
  void OnStatus(const std::string& e) override { lines.push_back("Events: " + e); }
  void OnComplete() override { lines.push_back("Complete"); }
  void OnProgress(int percent) override {
    lines.push_back("Progress: " + std::to_string(percent));
    if (on_progress) on_progress(percent);
  }
};

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t seed = 1);

}  // namespace movarin::download::testing
