// Hostile response header blocks: the parsers must accept any bytes, and the engine must
// end every download it starts on such an answer in one of its known ways.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "download/download_engine.h"
#include "download/http_header.h"
#include "download/redirect.h"
#include "download/url.h"

namespace {

using namespace movarin::download;

void Check(bool condition) {
  if (!condition) std::abort();
}

class BlockTransfer final : public Transfer {
 public:
  explicit BlockTransfer(std::string block) : block_(std::move(block)) {}
  void SetAddress(const std::string& url) override { address_ = url; }
  std::string Address() const override { return address_; }
  void SetCredentials(const std::string&, const std::string&) override {}
  movarin::base::Result<void, Failure> StartRequest(const std::string&, const std::string&,
                                                    const std::string&) override {
    return {};
  }
  bool StillExecuting() override { return false; }
  movarin::base::Result<std::string, Failure> HeaderBlock() override { return block_; }
  std::string Header(const std::string& name) override { return HeaderValue(block_, name); }
  Chunk ReadChunk(std::size_t max_bytes) override {
    // A bounded body, so a huge announced length ends as a short body.
    if (served_ >= 5000) return {ChunkStatus::kEndOfBody, {}};
    const std::size_t n = std::min<std::size_t>(max_bytes, 5000 - served_);
    chunk_.assign(n, 0x5A);
    served_ += n;
    return {ChunkStatus::kData, chunk_};
  }
  void Cancel() override {}

 private:
  std::string block_;
  std::string address_;
  std::size_t served_ = 0;
  std::vector<std::uint8_t> chunk_;
};

// Files by name and size; a file being written lives under "<destination>.part" until
// it is committed.
class MemoryDisk final : public FileSystem {
 public:
  std::map<std::string, std::size_t> files;
  bool FolderExists(const std::string&) override { return true; }
  movarin::base::Result<void, Failure> CreateFolder(const std::string&) override { return {}; }
  movarin::base::Result<std::uint64_t, Failure> FreeBytes(const std::string&) override {
    return std::uint64_t{1} << 20;
  }
  movarin::base::Result<std::unique_ptr<ReplacingOutput>, Failure> OpenReplacing(
      const std::string& destination) override {
    return std::unique_ptr<ReplacingOutput>(std::make_unique<NullFile>(files, destination));
  }

 private:
  class NullFile final : public ReplacingOutput {
   public:
    NullFile(std::map<std::string, std::size_t>& files, std::string destination)
        : files_(files), destination_(std::move(destination)), temp_(destination_ + ".part") {
      files_[temp_] = 0;
    }
    ~NullFile() override {
      if (!committed_) files_.erase(temp_);
    }
    movarin::base::Result<void, Failure> Write(std::span<const std::uint8_t> bytes) override {
      files_[temp_] += bytes.size();
      return {};
    }
    movarin::base::Result<void, Failure> Commit() override {
      files_[destination_] = files_[temp_];
      files_.erase(temp_);
      committed_ = true;
      return {};
    }

   private:
    std::map<std::string, std::size_t>& files_;
    std::string destination_;
    std::string temp_;
    bool committed_ = false;
  };
};

class CountingListener final : public DownloadListener {
 public:
  int errors = 0, events = 0, completes = 0, progress = 0;
  void OnError(const std::string&) override { ++errors; }
  void OnStatus(const std::string&) override { ++events; }
  void OnComplete() override { ++completes; }
  void OnProgress(int) override { ++progress; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string block(reinterpret_cast<const char*>(data), size);

  Check(StatusField(block).size() <= 3);
  const std::string first = FirstLineThroughCr(block);
  Check(first.empty() || first.back() == '\r');
  for (const char* name : {"Content-Length", "Content-Range", ""}) {
    const std::string value = HeaderValue(block, name);
    Check(value.find('\n') == std::string::npos);
    const ContentLength length = ParseContentLength(value);
    Check(length.kind != ContentLength::Kind::kValue || length.value >= 0);
    if (auto span = ContentRangeSpan(value)) Check(*span >= 1);
  }
  const ContentLength raw = ParseContentLength(block);
  Check(raw.kind != ContentLength::Kind::kValue || raw.value >= 0);

  // The server's Location, as a redirect is followed: never from https to plain http, and
  // whatever a request is sent to has a host and a path.
  if (auto parts = ParseServerAddress(block)) Check(!parts->host.empty() && parts->path.front() == '/');
  const std::string location = HeaderValue(block, "Location");
  for (const char* from : {"https://127.0.0.1:8443/files/a.ocx", "http://127.0.0.1/files/a.ocx"}) {
    if (auto target = RedirectTarget(from, location)) {
      if (auto next = ParseServerAddress(*target)) {
        Check(!next->host.empty() && next->path.front() == '/');
        Check(next->secure || !IsSecureAddress(from));
      }
    }
  }

  BlockTransfer transfer(block);
  MemoryDisk disk;
  CountingListener listener;
  DownloadEngine engine(transfer, disk, [] {});
  engine.SetListener(&listener);
  const bool result = engine.Download("http://127.0.0.1/files/a.ocx", "C:\\dl\\a.ocx");
  Check(listener.events == 1);
  Check(listener.completes == (result ? 1 : 0));
  Check(result ? listener.errors == 0 : listener.errors <= 1);
  // Nothing half-written stays behind; a success leaves exactly the destination, except
  // for an answer that announces no body at all, which completes without a file.
  const ContentLength announced = ParseContentLength(HeaderValue(block, "Content-Length"));
  const bool empty_answer = announced.kind == ContentLength::Kind::kValue && announced.value == 0;
  Check(disk.files.count("C:\\dl\\a.ocx.part") == 0);
  Check(disk.files.count("C:\\dl\\a.ocx") == (result && !empty_answer ? 1u : 0u));
  return 0;
}
