#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <memory>

class AppDelegate;

/// Lets tests drive the real program: with WENDLE_TEST_HOOK set to "stdio"
/// it reads commands from standard input, one per line, and answers on
/// standard output:
/// - "companion" answers "companion <visible 0|1> <x> <y> <width> <height>
///   <character> <artwork 0|1>" (the panel's frame, y-up; the character's
///   title; whether its drawing was read);
/// - "menu <title>" chooses that status-menu item as a click would and
///   answers "chosen <title>", or "missing <title>";
/// - "bubble" answers "bubble <x> <y> <width> <height> <title>|<message>"
///   for the reminder bubble on screen (y-up), or "bubble hidden";
/// - "look <X window id>" answers what a screen reader finds in that window
///   of ours: one JSON object a line for each shown node of its accessibility
///   tree ({"role", "rect": [x, y, width, height] on screen, "name",
///   "value", "checked"}), then "end".
/// It prints "ready" once installed. Nothing else reads the variable.
class TestHook final : public QObject {
  Q_OBJECT

 public:
  static std::unique_ptr<TestHook> installIfAsked(AppDelegate& delegate);

 private:
  explicit TestHook(AppDelegate& delegate);
  void readCommands();
  void run(const QByteArray& command);
  void answerBubble();
  void answerLook(quintptr window);

  AppDelegate& m_delegate;
  QSocketNotifier m_input;
  QByteArray m_pending;
};
