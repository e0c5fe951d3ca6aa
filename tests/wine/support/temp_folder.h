#pragma once
// A fresh folder under the Wine prefix's temp folder (on C:), removed with everything in
// it when the object goes away.
#include <string>

namespace movarin::test {

class TempFolder {
 public:
  // Creates "<temp>\<prefix>-<pid>-<n>"; path() is empty when that failed.
  explicit TempFolder(const std::string& prefix = "movarin-test");
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  TempFolder(TempFolder&& other) noexcept;
  TempFolder& operator=(TempFolder&& other) noexcept;
  ~TempFolder();

  const std::string& path() const { return path_; }
  // path() + "\" + relative.
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// Copies a folder with everything below it into to (created when missing); existing
// files are replaced. False when anything could not be copied.
bool CopyTree(const std::string& from, const std::string& to);

// Removes a folder and everything below it; true when nothing of it is left.
bool RemoveTree(const std::string& path);

}  // namespace movarin::test
