#pragma once
// The program-wide flag the multiple-file search waits on: "yes" once the previous name
// is dealt with (a search that found nothing, a download that ended), "no" while a name
// is being searched or a download reports progress. Empty before its first use, which
// reads as "not yes". The walk needs only to read it and to write it.
#include <string>
#include <string_view>

namespace movarin::multi_search {

inline constexpr std::string_view kSearchNextYes = "yes";
inline constexpr std::string_view kSearchNextNo = "no";

class SearchNextFlag {
 public:
  virtual ~SearchNextFlag() = default;
  virtual std::string Read() const = 0;
  virtual void Write(std::string_view value) = 0;
};

// The flag held as a text of its own (or in a text the program state owns).
class SearchNextText final : public SearchNextFlag {
 public:
  explicit SearchNextText(std::string& text) : text_(text) {}
  std::string Read() const override { return text_; }
  void Write(std::string_view value) override { text_ = value; }

 private:
  std::string& text_;
};

}  // namespace movarin::multi_search
