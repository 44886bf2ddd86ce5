#include "platform/ui/Compositor.h"

#include <QByteArray>
#include <QGuiApplication>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xlib.h>

namespace pf {

bool Compositor::isActive() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return false;
  const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.constData(), False);
  return XGetSelectionOwner(display, selection) != None;
}

}  // namespace pf
