#pragma once

#include "platform/ui/Window.h"

namespace pf {

/// A borderless window kept off the taskbar and window switcher. A
/// non-activating panel is shown without taking the keyboard focus; it becomes
/// key only when it may and something asks for it. Like a borderless window
/// elsewhere, a panel may not become key until told so.
class Panel : public Window {
  Q_OBJECT

 public:
  explicit Panel(bool nonActivating = true);

  bool isNonActivating() const { return m_nonActivating; }

 private:
  bool m_nonActivating = true;
};

}  // namespace pf
