#include "fake_download_parts.h"

#include <algorithm>

#include "download/http_header.h"

namespace movarin::download::testing {

std::optional<Failure> FakeTransfer::StartRequest(const std::string& v, const std::string& b,
                                                  const std::string& extra) {
  ++starts;
  verb = v;
  request_body = b;
  extra_headers = extra;
  offset_ = 0;
  cancelled = false;
  return start_failure;
}

bool FakeTransfer::StillExecuting() {
  if (on_poll) on_poll();
  if (busy_polls > 0) {
    --busy_polls;
    return true;
  }
  return false;
}

std::optional<Failure> FakeTransfer::HeaderBlock(std::string& block) {
  if (header_failure) return header_failure;
  block = header_block;
  return std::nullopt;
}

std::string FakeTransfer::Header(const std::string& name) { return HeaderValue(header_block, name); }

ChunkStatus FakeTransfer::ReadChunk(std::size_t max_bytes, std::vector<std::uint8_t>& chunk) {
  ++reads;
  if (auto hook = before_read.find(reads); hook != before_read.end()) hook->second();
  chunk.clear();
  if (cancelled) return ChunkStatus::kBroken;
  if (offset_ >= body.size()) return end;
  const std::size_t n = std::min({max_bytes, bytes_per_read, body.size() - offset_});
  chunk.assign(body.begin() + static_cast<std::ptrdiff_t>(offset_),
               body.begin() + static_cast<std::ptrdiff_t>(offset_ + n));
  offset_ += n;
  return ChunkStatus::kData;
}

class MemoryFile final : public OutputFile {
 public:
  MemoryFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  std::optional<Failure> Write(const std::uint8_t* data, std::size_t size) override {
    auto& bytes = fs_.files[path_];
    if (fs_.write_limit && bytes.size() + size > *fs_.write_limit) {
      return Failure{61, "Disk full"};
    }
    bytes.insert(bytes.end(), data, data + size);
    return std::nullopt;
  }
  std::optional<Failure> Close() override { return std::nullopt; }

 private:
  FakeFileSystem& fs_;
  std::string path_;
};

std::optional<Failure> FakeFileSystem::CreateFolder(const std::string& folder) {
  // The parent of "C:\a\b\" is "C:\a\".
  const std::size_t cut = folder.rfind('\\', folder.size() >= 2 ? folder.size() - 2 : 0);
  const std::string parent = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
  if (!parent.empty() && parent.size() > 3 && folders.count(parent) == 0) {
    return Failure{76, "Path not found"};
  }
  folders.insert(folder);
  return std::nullopt;
}

std::optional<Failure> FakeFileSystem::FreeBytes(const std::string& root, std::uint64_t& bytes) {
  free_space_queries.push_back(root);
  if (free_bytes_failure) return free_bytes_failure;
  auto it = free_bytes.find(root);
  bytes = it == free_bytes.end() ? 0 : it->second;
  return std::nullopt;
}

std::optional<Failure> FakeFileSystem::CreateTempBeside(const std::string& destination,
                                                        std::string& temp_path,
                                                        std::unique_ptr<OutputFile>& file) {
  const std::size_t cut = destination.rfind('\\');
  const std::string folder = cut == std::string::npos ? std::string() : destination.substr(0, cut + 1);
  if (!folder.empty() && folder.size() > 3 && folders.count(folder) == 0) {
    return Failure{76, "Path not found"};
  }
  temp_path = folder + "~dl" + std::to_string(temp_paths.size()) + ".tmp";
  temp_paths.push_back(temp_path);
  files[temp_path];
  file = std::make_unique<MemoryFile>(*this, temp_path);
  return std::nullopt;
}

std::optional<Failure> FakeFileSystem::MoveIntoPlace(const std::string& from, const std::string& to) {
  if (move_failure) return move_failure;
  auto node = files.extract(from);
  if (node.empty()) return Failure{53, "File not found"};
  files.erase(to);
  node.key() = to;
  files.insert(std::move(node));
  return std::nullopt;
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
