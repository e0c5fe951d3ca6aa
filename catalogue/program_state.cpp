#include "catalogue/program_state.h"

namespace movarin::catalogue {

std::string& SearchNextFlag() {
  static std::string flag;
  return flag;
}

}  // namespace movarin::catalogue
