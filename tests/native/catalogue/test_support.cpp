#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "catalogue/jet/format.h"
#include "catalogue/jet/header.h"

namespace movarin::catalogue::test {

std::optional<std::filesystem::path> SampleDir() {
  // MOVARIN_SHARED, else the shared folder beside the source tree.
  std::filesystem::path shared;
  if (const char* env = std::getenv("MOVARIN_SHARED")) {
    shared = env;
  } else if (const char* source = std::getenv("MOVARIN_SOURCE")) {
    shared = std::filesystem::path(source) / ".." / "shared";
  } else {
    return std::nullopt;
  }
  const std::filesystem::path dir = shared / "data" / "mdb";
  if (!std::filesystem::is_directory(dir)) return std::nullopt;
  return dir;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "movarin-catalogue-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CommandResult Run(const std::vector<std::string>& argv) {
  CommandResult result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  char buffer[65536];
  ssize_t got;
  while ((got = read(pipe_fds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, got);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string MdbExport(const std::filesystem::path& file, const std::string& table) {
  const auto result = Run({"mdb-export", file.string(), table});
  if (result.status != 0) throw std::runtime_error("mdb-export failed on " + file.string());
  return result.output;
}

std::vector<std::string> MdbTables(const std::filesystem::path& file) {
  const auto result = Run({"mdb-tables", "-1", file.string()});
  if (result.status != 0) throw std::runtime_error("mdb-tables failed on " + file.string());
  std::vector<std::string> names;
  std::istringstream lines(result.output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

void PutU8(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint8_t value) { bytes.at(at) = value; }

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  for (int i = 0; i < 2; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutF64(std::vector<std::uint8_t>& bytes, std::size_t at, double value) {
  std::uint64_t raw;
  std::memcpy(&raw, &value, 8);
  for (int i = 0; i < 8; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(raw >> (8 * i));
}

std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return GetU16(bytes, at) | (static_cast<std::uint32_t>(GetU16(bytes, at + 2)) << 16);
}

RowSpan RowOf(const std::vector<std::uint8_t>& bytes, std::uint32_t page, std::size_t row) {
  const std::size_t base = std::size_t{page} * kPage;
  const std::size_t begin = GetU16(bytes, base + 14 + 2 * row) & 0x1FFF;
  const std::size_t end = row == 0 ? kPage : (GetU16(bytes, base + 14 + 2 * (row - 1)) & 0x1FFF);
  return {base + begin, base + end};
}

std::uint32_t AppendDataPage(std::vector<std::uint8_t>& bytes, std::uint32_t owner,
                             const std::vector<std::vector<std::uint8_t>>& rows,
                             bool long_value_page) {
  std::vector<std::uint8_t> page(kPage, 0);
  page[0] = 0x01;
  page[1] = 0x01;
  if (long_value_page) {
    std::memcpy(&page[4], "LVAL", 4);
  } else {
    PutU32(page, 4, owner);
  }
  PutU16(page, 12, static_cast<std::uint16_t>(rows.size()));
  std::size_t end = kPage;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t begin = end - rows[i].size();
    std::copy(rows[i].begin(), rows[i].end(), page.begin() + static_cast<std::ptrdiff_t>(begin));
    PutU16(page, 14 + 2 * i, static_cast<std::uint16_t>(begin));
    end = begin;
  }
  PutU16(page, 2, static_cast<std::uint16_t>(end - 14 - 2 * rows.size()));
  const auto number = static_cast<std::uint32_t>(bytes.size() / kPage);
  bytes.insert(bytes.end(), page.begin(), page.end());
  return number;
}

void EditHeader(std::vector<std::uint8_t>& bytes,
                const std::function<void(std::vector<std::uint8_t>& block)>& edit) {
  namespace h = jet::header;
  std::vector<std::uint8_t> block(bytes.begin(), bytes.begin() + kPage);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  edit(block);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  std::copy(block.begin(), block.end(), bytes.begin());
}

}  // namespace movarin::catalogue::test
