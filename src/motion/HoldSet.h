#pragma once

#include "motion/PacingController.h"

#include <bitset>
#include <functional>
#include <vector>

/// The hold reasons active for one companion: each reporter sets its own
/// reason while its last report was true.
class HoldSet final {
 public:
  using Hold = PacingController::Hold;

  /// Called after a reason was added or removed.
  std::function<void()> onChange;

  /// Adds or removes `hold`; a report that changes nothing calls nothing.
  void set(Hold hold, bool active);
  bool contains(Hold hold) const { return m_active.test(std::size_t(hold)); }
  bool isEmpty() const { return m_active.none(); }
  /// The active reasons, in their fixed order.
  std::vector<Hold> active() const;

 private:
  std::bitset<PacingController::allHolds.size()> m_active;
};
