#pragma once

#include "platform/ui/Window.h"

#include <functional>

/// The Edit Shortcuts window: Escape (and Ctrl+.) goes to `onEscape` only.
class ShortcutEditorWindow final : public pf::Window {
  Q_OBJECT

 public:
  ShortcutEditorWindow() = default;

  /// Called for Escape; without it Escape does nothing.
  std::function<void()> onEscape;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
