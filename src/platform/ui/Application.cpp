#include "platform/ui/Application.h"

#include <QApplication>
#include <QFont>

namespace pf {

std::optional<QByteArray> Application::platformFor(const Session& session) {
  if (session.platformChosen || !session.hasX11Display) return std::nullopt;
  const bool wayland = session.sessionType == "wayland" || session.hasWaylandDisplay;
  if (!wayland) return std::nullopt;
  return QByteArray("xcb");
}

void Application::prepare() {
  const Session session{qgetenv("XDG_SESSION_TYPE"), !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"),
                        !qEnvironmentVariableIsEmpty("DISPLAY"),
                        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")};
  if (const auto platform = platformFor(session)) qputenv("QT_QPA_PLATFORM", *platform);
}

void Application::configure(QApplication& app) {
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationDisplayName(QStringLiteral("Wendle"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.wendle.Wendle"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  // Design sizes are pixels; Qt's points would grow with the screen's DPI and
  // overflow fixed frames.
  QFont font = app.font();
  font.setPixelSize(13);
  app.setFont(font);
}

}  // namespace pf
