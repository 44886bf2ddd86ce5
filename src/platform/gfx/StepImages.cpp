#include "platform/gfx/StepImages.h"

namespace pf {

std::size_t& StepBudget::shared() {
  static std::size_t bytes = 0;
  return bytes;
}

}  // namespace pf
