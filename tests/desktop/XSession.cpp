#include "desktop/XSession.h"

#include "desktop/Wait.h"

#include <QFile>
// Xlib last: its macros would break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xatom.h>

namespace desk {
namespace {

XSession* running = nullptr;

/// Windows come and go while the suite looks at them: a request about one
/// that just went is answered with an error, which means only "not there".
int ignoreError(Display*, XErrorEvent*) { return 0; }

/// The window manager's rules the suite relies on, and nothing else: four
/// desktops; a new window takes the focus; a press in a window focuses and
/// raises it; a title bar drags its window; a window that asks for no place
/// is centred in the free area.
constexpr char windowManagerRules[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <desktops><number>4</number><firstdesk>1</firstdesk><popupTime>0</popupTime></desktops>
  <mouse>
    <dragThreshold>3</dragThreshold>
    <context name="Client Titlebar Top Right Bottom Left">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
  </mouse>
</openbox_config>
)";

}  // namespace

XSession& XSession::shared() { return *running; }

void XSession::SetUp() {
  running = this;
  startServer();
  ASSERT_NE(m_display, nullptr) << "Xvfb did not start";
  startWindowManager();
  startCompositor();
}

void XSession::TearDown() {
  // The clients go first, so the server never sees a half-closed manager.
  for (QProcess* process : {&m_compositor, &m_windowManager}) {
    process->terminate();
    process->waitForFinished(5000);
  }
  if (m_display) XCloseDisplay(std::exchange(m_display, nullptr));
  m_server.reset();
  running = nullptr;
}

void XSession::startServer() {
  m_server = std::make_unique<test::VirtualServer>(screenWidth, screenHeight);
  m_displayName = QString::fromLatin1(m_server->name());
  if (m_displayName.isEmpty()) return;
  qputenv("DISPLAY", m_server->name());
  m_display = XOpenDisplay(m_server->name().constData());
  XSetErrorHandler(ignoreError);
}

void XSession::startWindowManager() {
  const QString rules = m_config.filePath(QStringLiteral("rc.xml"));
  QFile file(rules);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(windowManagerRules) > 0);
  file.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), m_config.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
  m_windowManager.setProcessEnvironment(environment);
  m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--config-file"), rules});
  ASSERT_TRUE(waitForSelection("WM_S0")) << "openbox did not start";
  // The manager sets its desktops up after it has taken the selection.
  const Atom count = XInternAtom(m_display, "_NET_NUMBER_OF_DESKTOPS", False);
  ASSERT_TRUE(waitUntil([&] {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    const bool ready = XGetWindowProperty(m_display, DefaultRootWindow(m_display), count, 0, 1, False, XA_CARDINAL,
                                          &type, &format, &items, &after, &data) == Success &&
                       items == 1 && *reinterpret_cast<long*>(data) == desktops;
    if (data) XFree(data);
    return ready;
  }));
}

void XSession::startCompositor() {
  m_compositor.start(QStringLiteral("xcompmgr"), {});
  // The program draws translucent windows only when it finds the compositor.
  ASSERT_TRUE(waitForSelection("_NET_WM_CM_S0")) << "xcompmgr did not start";
}

bool XSession::waitForSelection(const char* name) {
  const Atom selection = XInternAtom(m_display, name, False);
  return waitUntil([&] { return XGetSelectionOwner(m_display, selection) != None; });
}

}  // namespace desk
