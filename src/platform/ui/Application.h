#pragma once

#include <QByteArray>
#include <optional>

class QApplication;

namespace pf {

/// What the desktop session offers when the program starts.
struct Session {
  QByteArray sessionType;  ///< XDG_SESSION_TYPE
  bool hasWaylandDisplay = false;
  bool hasX11Display = false;
  bool platformChosen = false;  ///< QT_QPA_PLATFORM is set
};

/// The application-wide setup around the QApplication.
class Application final {
 public:
  /// Before the QApplication exists: on a Wayland session that also offers an
  /// X server (XWayland), selects Qt's X11 backend, since Wayland lets no
  /// window place itself, stay on top or read the pointer.
  static void prepare();

  /// The Qt platform to select for `session`, or none to keep Qt's choice
  /// (an explicit choice is always kept).
  static std::optional<QByteArray> platformFor(const Session& session);

  /// After: drops the backend choice from the environment again, so programs
  /// we launch are not forced onto it; keeps running with no window open (the companion's panel is the
  /// only thing on screen), with one style and pixel-sized fonts everywhere.
  static void configure(QApplication& app);
};

}  // namespace pf
