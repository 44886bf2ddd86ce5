#include "platform/ui/Application.h"

#include "platform/ui/ControlStyle.h"

#include <QApplication>
#include <QFont>

namespace pf {
namespace {

bool choseX11 = false;

}  // namespace

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
  if (const auto platform = platformFor(session)) {
    qputenv("QT_QPA_PLATFORM", *platform);
    choseX11 = true;
  }
}

void Application::configure(QApplication& app) {
  // The choice was only for this program: the applications a shortcut opens
  // inherit the environment and must pick their own backend.
  if (choseX11) qunsetenv("QT_QPA_PLATFORM");
  choseX11 = false;
  QApplication::setQuitOnLastWindowClosed(false);
  // A display name would be appended to every window title (" — Wendle"),
  // and the titles the windows set must stand exactly as written.
  QApplication::setApplicationName(QStringLiteral("Wendle"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.wendle.Wendle"));
  QApplication::setStyle(new ControlStyle);
  // Design sizes are pixels; Qt's points would grow with the screen's DPI and
  // overflow fixed frames.
  QFont font = app.font();
  font.setPixelSize(13);
  app.setFont(font);
}

}  // namespace pf
