#include "tests/e2e/driver/driver.h"
#include "tests/support/environment.h"

namespace movarin::e2e {

std::string BuildPath(const std::string& relative) {
  const auto build = test::BuildDir();
  return build ? *build + "\\" + relative : std::string();
}

}  // namespace movarin::e2e
