// Hostile "checkversion.php" replies: the version is read only from a well-formed reply,
// and the check's decision follows from it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "updates/update_reply.h"

namespace {

using namespace movarin::updates;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const std::optional<double> version = ServerVersion(reply);
  if (version) {
    Check(std::isfinite(*version));
    Check(reply.find(kUpdateMarker) != std::string::npos);
  }
  for (const std::int16_t local : {std::int16_t{2}, std::int16_t{-32768}, std::int16_t{32767}}) {
    const UpdateCheckStep step = DecideUpdateCheck(reply, local);
    if (!version) {
      Check(step.outcome == UpdateCheckOutcome::kWait && !step.label);
    } else {
      Check(step.outcome == (*version > local ? UpdateCheckOutcome::kOfferUpdate : UpdateCheckOutcome::kGoOn));
      Check(step.label.has_value());
    }
  }
  if (auto number = ReadDecimalNumber(reply)) Check(std::isfinite(*number));
  return 0;
}
