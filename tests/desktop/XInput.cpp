#include "desktop/XInput.h"

#include <QStringList>
#include <QThread>
// Xlib last: its macros would break the Qt headers.
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace desk {
namespace {

/// How long a hand takes between two steps: applications that watch the
/// pointer (hover timers, drag thresholds, XDND) see distinct events.
constexpr int stepMs = 15;
/// How long a hand rests at each end of a drag, so the program moving
/// something sees the press and the last place apart from the moves. (A drop
/// between two programs waits for their own word instead: a loaded desktop
/// answers in its own time.)
constexpr int holdMs = 150;

/// The keysym of a Unicode character, as X spells ones beyond Latin-1.
KeySym keysymOf(char32_t character) {
  if ((character >= 0x20 && character <= 0x7e) || (character >= 0xa0 && character <= 0xff)) return character;
  if (character == '\t') return XK_Tab;
  if (character == '\n') return XK_Return;
  return 0x01000000 | character;
}

}  // namespace

void XInput::sync() { XSync(m_display, False); }

void XInput::moveTo(QPoint at) {
  XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
  sync();
  QThread::msleep(stepMs);
}

void XInput::press(int button) {
  XTestFakeButtonEvent(m_display, unsigned(button), True, CurrentTime);
  sync();
  QThread::msleep(stepMs);
}

void XInput::release(int button) {
  XTestFakeButtonEvent(m_display, unsigned(button), False, CurrentTime);
  sync();
  QThread::msleep(stepMs);
}

void XInput::click(QPoint at, int button) {
  moveTo(at);
  press(button);
  release(button);
}

void XInput::moveAlong(QPoint from, QPoint to, int steps) {
  for (int step = 1; step <= steps; ++step) moveTo(from + (to - from) * step / steps);
}

void XInput::drag(QPoint from, QPoint to, int steps) {
  moveTo(from);
  press();
  // A drag source grabs the pointer once it has seen the press.
  QThread::msleep(holdMs);
  moveAlong(from, to, steps);
  QThread::msleep(holdMs);
  release();
}

void XInput::key(const QString& chord) {
  QStringList parts = chord.split(u'+');
  const KeySym symbol = XStringToKeysym(parts.takeLast().toLatin1().constData());
  QList<KeyCode> modifiers;
  for (const QString& name : parts) {
    const KeySym modifier = name == u"ctrl" ? XK_Control_L : name == u"shift" ? XK_Shift_L : XK_Alt_L;
    modifiers << XKeysymToKeycode(m_display, modifier);
  }
  for (KeyCode code : modifiers) XTestFakeKeyEvent(m_display, code, True, CurrentTime);
  tap(XKeysymToKeycode(m_display, symbol), false);
  for (KeyCode code : modifiers) XTestFakeKeyEvent(m_display, code, False, CurrentTime);
  sync();
  QThread::msleep(stepMs);
}

void XInput::type(const QString& text) {
  for (char32_t character : text.toUcs4()) {
    const KeySym symbol = keysymOf(character);
    const KeyCode code = XKeysymToKeycode(m_display, symbol);
    if (code == 0) {
      typeUnmapped(symbol);
      continue;
    }
    // Only the first two levels are plain and shifted; anything else is remapped.
    if (XkbKeycodeToKeysym(m_display, code, 0, 0) == symbol)
      tap(code, false);
    else if (XkbKeycodeToKeysym(m_display, code, 0, 1) == symbol)
      tap(code, true);
    else
      typeUnmapped(symbol);
  }
}

void XInput::tap(KeyCode code, bool shifted) {
  const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
  if (shifted) XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
  XTestFakeKeyEvent(m_display, code, True, CurrentTime);
  XTestFakeKeyEvent(m_display, code, False, CurrentTime);
  if (shifted) XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
  sync();
  QThread::msleep(stepMs);
}

void XInput::typeUnmapped(KeySym symbol) {
  int low = 0, high = 0, perCode = 0;
  XDisplayKeycodes(m_display, &low, &high);
  KeySym* map = XGetKeyboardMapping(m_display, KeyCode(low), high - low + 1, &perCode);
  // The highest keycode no key uses is free to borrow.
  int spare = high;
  while (spare > low && map[(spare - low) * perCode] != NoSymbol) --spare;
  XFree(map);
  KeySym both[2] = {symbol, symbol};
  XChangeKeyboardMapping(m_display, spare, 2, both, 1);
  sync();
  // A client reads the new map when it is told of the change, which may be
  // after our key arrives: give it that moment, and keep the map until it typed.
  QThread::msleep(100);
  tap(KeyCode(spare), false);
  QThread::msleep(100);
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(m_display, spare, 2, none, 1);
  sync();
}

}  // namespace desk
