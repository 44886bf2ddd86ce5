#include "platform/ui/Panel.h"

namespace pf {

Panel::Panel(bool nonActivating) : Window(Qt::Tool | Qt::FramelessWindowHint), m_nonActivating(nonActivating) {
  setAttribute(Qt::WA_ShowWithoutActivating, nonActivating);
  setCanBecomeKey(false);
}

}  // namespace pf
