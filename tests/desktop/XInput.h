#pragma once

#include "desktop/XTypes.h"

#include <QPoint>
#include <QString>

namespace desk {

/// A person's hands: the pointer and the keyboard, through the X server's
/// XTest extension, so every window sees them as it would see real input.
/// Each call returns once the server has handled what it sent.
class XInput final {
 public:
  explicit XInput(XDisplay* display) : m_display(display) {}

  void moveTo(QPoint at);
  void press(int button = 1);
  void release(int button = 1);
  /// Moves there, then presses and releases the button.
  void click(QPoint at, int button = 1);
  /// Moves from `from` to `to` in `steps` steps a moment apart.
  void moveAlong(QPoint from, QPoint to, int steps = 12);
  /// Presses at `from`, moves along to `to`, releases.
  void drag(QPoint from, QPoint to, int steps = 12);

  /// Presses and releases a key named as X names it ("Return", "Tab",
  /// "Escape", "Down"), with modifiers before it ("ctrl+a", "shift+Tab").
  void key(const QString& chord);
  /// Types `text` as a keyboard would, one character at a time; characters no
  /// key gives (an emoji, say) are typed through a spare key mapped to them
  /// for the moment, as xdotool does.
  void type(const QString& text);

 private:
  void tap(unsigned char code, bool shifted);
  void typeUnmapped(unsigned long symbol);
  void sync();

  XDisplay* m_display;
};

}  // namespace desk
