#include "platform/core/Clock.h"

namespace pf {

SystemClock& SystemClock::shared() {
  static SystemClock clock;
  return clock;
}

}  // namespace pf
