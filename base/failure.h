// A failed platform operation (file system, network): a number and a description, as
// messages quote them ("Error 76: Path not found"). The error type of Result for the
// file helpers here and for the platform adapters.
#pragma once

#include <cstdint>
#include <string>

namespace movarin::base {

struct Failure {
  std::int64_t number = 0;
  std::string description;
};

}  // namespace movarin::base
