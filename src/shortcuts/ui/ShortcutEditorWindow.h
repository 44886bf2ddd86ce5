#pragma once

#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QPointer>
#include <functional>

/// The Edit Shortcuts window: Escape (and Ctrl+.) goes to `onEscape` only,
/// and Return that no control takes presses the default button.
class ShortcutEditorWindow final : public pf::Window {
  Q_OBJECT

 public:
  ShortcutEditorWindow() = default;

  /// Called for Escape; without it Escape does nothing.
  std::function<void()> onEscape;
  /// The button Return presses while it is enabled.
  QPointer<QAbstractButton> defaultButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
