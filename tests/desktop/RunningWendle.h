#pragma once

#include "desktop/XTypes.h"

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace desk {

class DesktopHome;

/// One thing a screen reader finds in a window: a control or a text, where
/// it is on screen, and what it says.
struct Seen {
  QString role;
  QRect rect;
  /// Its name (a label's or button's text, a field's accessible name).
  QString name;
  /// What it holds (a field's text, a list's choice); empty when nothing.
  QString value;
  bool checked = false;
};

/// The real wendle program on the suite's desktop in `home`, started with
/// the test hook on its standard input. Killed when destroyed if still running.
class RunningWendle final {
 public:
  RunningWendle(const DesktopHome& home, const QString& display);
  RunningWendle(const RunningWendle&) = delete;
  RunningWendle& operator=(const RunningWendle&) = delete;
  ~RunningWendle();

  /// Whether it started and set itself up (the hook says "ready").
  bool ready();
  /// Sends a hook command; gives its one-line answer (empty after 10 s).
  QByteArray ask(const QByteArray& command);
  /// What a screen reader finds in the program's top-level `window`.
  std::vector<Seen> look(WindowId window);
  /// The first thing in `window` whose name (or else value) is `text`.
  std::optional<Seen> find(WindowId window, const QString& text);
  /// The control a person reads as labelled `label`: the nearest one right of that text, on its row.
  std::optional<Seen> labelled(WindowId window, const QString& label);
  /// Waits up to `ms` for the program to end; its exit status, or -1 when it crashed or still runs.
  int exitStatus(int ms = 10000);
  /// What it wrote on standard error so far, or why it could not start.
  QByteArray errors();

 private:
  QByteArray nextLine();

  QProcess m_process;
};

}  // namespace desk
