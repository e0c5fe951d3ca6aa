// A fresh folder under the system's temporary folder (under Wine: on drive C:), removed
// with everything in it when the object goes away; and whole-tree copies and removals.
#pragma once

#include <string>
#include <string_view>

namespace movarin::test {

class TempFolder {
 public:
  // Creates "<temp>/<prefix>-<pid>-<n>-<random>"; path() is empty when that failed.
  explicit TempFolder(std::string_view prefix = "movarin-test");
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  TempFolder(TempFolder&& other) noexcept;
  TempFolder& operator=(TempFolder&& other) noexcept;
  ~TempFolder();

  // UTF-8, in the platform's form ("C:\users\...\Temp\x" on Windows, "/tmp/x" elsewhere).
  const std::string& path() const { return path_; }
  // path() + the platform's separator + relative.
  std::string operator/(std::string_view relative) const;

 private:
  std::string path_;
};

// Copies a folder with everything below it into `to` (created when missing); existing
// files are replaced. False when anything could not be copied.
bool CopyTree(const std::string& from, const std::string& to);

// Removes a folder and everything below it, read-only files included; true when nothing
// of it is left.
bool RemoveTree(const std::string& path);

}  // namespace movarin::test
