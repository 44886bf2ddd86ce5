#include "motion/HoldSet.h"

void HoldSet::set(Hold hold, bool active) {
  if (contains(hold) == active) return;
  m_active.set(std::size_t(hold), active);
  if (onChange) onChange();
}

std::vector<HoldSet::Hold> HoldSet::active() const {
  std::vector<Hold> holds;
  for (Hold hold : PacingController::allHolds)
    if (contains(hold)) holds.push_back(hold);
  return holds;
}
