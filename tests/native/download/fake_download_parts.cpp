#include "fake_download_parts.h"

#include <algorithm>

#include "download/http_header.h"

namespace movarin::download::testing {

base::Result<void, Failure> FakeTransfer::StartRequest(const std::string& v, const std::string& b,
                                                       const std::string& extra) {
  ++starts;
  verb = v;
  request_body = b;
  extra_headers = extra;
  offset_ = 0;
  cancelled = false;
  if (start_failure) return *start_failure;
  return {};
}

bool FakeTransfer::StillExecuting() {
  if (on_poll) on_poll();
  if (busy_polls > 0) {
    --busy_polls;
    return true;
  }
  return false;
}

base::Result<std::string, Failure> FakeTransfer::HeaderBlock() {
  if (header_failure) return *header_failure;
  return header_block;
}

std::string FakeTransfer::Header(const std::string& name) { return HeaderValue(header_block, name); }

Chunk FakeTransfer::ReadChunk(std::size_t max_bytes) {
  ++reads;
  if (auto hook = before_read.find(reads); hook != before_read.end()) hook->second();
  chunk.clear();
  if (cancelled) return {ChunkStatus::kBroken, {}};
  if (offset_ >= body.size()) return {end, {}};
  const std::size_t n = std::min({max_bytes, bytes_per_read, body.size() - offset_});
  chunk.assign(body.begin() + static_cast<std::ptrdiff_t>(offset_),
               body.begin() + static_cast<std::ptrdiff_t>(offset_ + n));
  offset_ += n;
  return {ChunkStatus::kData, chunk};
}

namespace {

// Writes under a temporary name; Commit moves it over the destination, the destructor
// of an uncommitted file removes it.
class MemoryFile final : public ReplacingOutput {
 public:
  MemoryFile(FakeFileSystem& fs, std::string temp_path, std::string destination)
      : fs_(fs), temp_path_(std::move(temp_path)), destination_(std::move(destination)) {}
  ~MemoryFile() override {
    if (!committed_) fs_.files.erase(temp_path_);
  }
  base::Result<void, Failure> Write(std::span<const std::uint8_t> data) override {
    auto& bytes = fs_.files[temp_path_];
    if (fs_.write_limit && bytes.size() + data.size() > *fs_.write_limit) {
      return Failure{61, "Disk full"};
    }
    bytes.insert(bytes.end(), data.begin(), data.end());
    return {};
  }
  base::Result<void, Failure> Commit() override {
    if (fs_.move_failure) return *fs_.move_failure;
    auto node = fs_.files.extract(temp_path_);
    if (node.empty()) return Failure{53, "File not found"};
    fs_.files.erase(destination_);
    node.key() = destination_;
    fs_.files.insert(std::move(node));
    committed_ = true;
    return {};
  }

 private:
  FakeFileSystem& fs_;
  std::string temp_path_;
  std::string destination_;
  bool committed_ = false;
};

}  // namespace

base::Result<void, Failure> FakeFileSystem::CreateFolder(const std::string& folder) {
  // The parent of "C:\a\b\" is "C:\a\".
  const std::size_t cut = folder.rfind('\\', folder.size() >= 2 ? folder.size() - 2 : 0);
  const std::string parent = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
  if (!parent.empty() && parent.size() > 3 && folders.count(parent) == 0) {
    return Failure{76, "Path not found"};
  }
  folders.insert(folder);
  return {};
}

base::Result<std::uint64_t, Failure> FakeFileSystem::FreeBytes(const std::string& root) {
  free_space_queries.push_back(root);
  if (free_bytes_failure) return *free_bytes_failure;
  auto it = free_bytes.find(root);
  return it == free_bytes.end() ? std::uint64_t{0} : it->second;
}

base::Result<std::unique_ptr<ReplacingOutput>, Failure> FakeFileSystem::OpenReplacing(
    const std::string& destination) {
  const std::size_t cut = destination.rfind('\\');
  const std::string folder = cut == std::string::npos ? std::string() : destination.substr(0, cut + 1);
  if (!folder.empty() && folder.size() > 3 && folders.count(folder) == 0) {
    return Failure{76, "Path not found"};
  }
  const std::string temp_path = folder + "~dl" + std::to_string(temp_paths.size()) + ".tmp";
  temp_paths.push_back(temp_path);
  files[temp_path];
  return std::unique_ptr<ReplacingOutput>(std::make_unique<MemoryFile>(*this, temp_path, destination));
}

std::string FakeFileSystem::Text(const std::string& path) const {
  auto it = files.find(path);
  if (it == files.end()) return "<absent>";
  return std::string(it->second.begin(), it->second.end());
}

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

}  // namespace movarin::download::testing
