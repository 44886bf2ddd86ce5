#pragma once

#include "platform/ui/Panel.h"

class RobotView;

/// The borderless, transparent panel that holds the companion near the bottom
/// of the screen. It stays in front of other windows, is shown without taking
/// the focus, and may become key when something needs the keyboard.
class CompanionPanel final : public pf::Panel {
  Q_OBJECT

 public:
  explicit CompanionPanel(const QString& assetRoot);

  RobotView* robotView() const { return m_view; }
  /// Sizes the panel to show the companion `height` points tall, keeping its
  /// bottom-left corner.
  void setCompanionHeight(double height);

 private:
  RobotView* m_view = nullptr;
};
