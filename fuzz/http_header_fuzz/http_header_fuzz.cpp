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
  std::optional<Failure> StartRequest(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  bool StillExecuting() override { return false; }
  std::optional<Failure> HeaderBlock(std::string& block) override {
    block = block_;
    return std::nullopt;
  }
  std::string Header(const std::string& name) override { return HeaderValue(block_, name); }
  ChunkStatus ReadChunk(std::size_t max_bytes, std::vector<std::uint8_t>& chunk) override {
    chunk.clear();
    // A bounded body, so a huge announced length ends as a short body.
    if (served_ >= 5000) return ChunkStatus::kEndOfBody;
    const std::size_t n = std::min<std::size_t>(max_bytes, 5000 - served_);
    chunk.assign(n, 0x5A);
    served_ += n;
    return ChunkStatus::kData;
  }
  void Cancel() override {}

 private:
  std::string block_;
  std::string address_;
  std::size_t served_ = 0;
};

class NullFile final : public OutputFile {
 public:
  explicit NullFile(std::size_t& size) : size_(size) {}
  std::optional<Failure> Write(const std::uint8_t*, std::size_t n) override {
    size_ += n;
    return std::nullopt;
  }
  std::optional<Failure> Close() override { return std::nullopt; }

 private:
  std::size_t& size_;
};

class MemoryDisk final : public FileSystem {
 public:
  std::map<std::string, std::size_t> files;
  bool FolderExists(const std::string&) override { return true; }
  std::optional<Failure> CreateFolder(const std::string&) override { return std::nullopt; }
  std::optional<Failure> FreeBytes(const std::string&, std::uint64_t& bytes) override {
    bytes = 1u << 20;
    return std::nullopt;
  }
  std::optional<Failure> CreateTempBeside(const std::string& destination, std::string& temp_path,
                                          std::unique_ptr<OutputFile>& file) override {
    temp_path = destination + ".part";
    file = std::make_unique<NullFile>(files[temp_path]);
    return std::nullopt;
  }
  std::optional<Failure> MoveIntoPlace(const std::string& from, const std::string& to) override {
    files[to] = files[from];
    files.erase(from);
    return std::nullopt;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool RemoveFile(const std::string& path) override { return files.erase(path) != 0; }
};

class CountingListener final : public DownloadListener {
 public:
  int errors = 0, events = 0, completes = 0, progress = 0;
  void DownloadErrors(const std::string&) override { ++errors; }
  void DownloadEvents(const std::string&) override { ++events; }
  void DowloadComplete() override { ++completes; }
  void DownloadProgress(const std::string&) override { ++progress; }
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

  BlockTransfer transfer(block);
  MemoryDisk disk;
  CountingListener listener;
  dl engine(transfer, disk, [] {});
  engine.SetListener(&listener);
  const bool result = engine.Downloadfile("http://127.0.0.1/files/a.ocx", "C:\\dl\\a.ocx");
  Check(listener.events == 1);
  Check(listener.completes == (result ? 1 : 0));
  Check(result ? listener.errors == 0 : listener.errors <= 1);
  // Nothing half-written stays behind; a success leaves exactly the destination.
  Check(disk.files.count("C:\\dl\\a.ocx.part") == 0);
  Check(disk.files.count("C:\\dl\\a.ocx") == (result ? 1u : 0u));
  return 0;
}
