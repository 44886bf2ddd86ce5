#include "platform/ui/Compositor.h"

#include <QByteArray>
#include <QGuiApplication>

#include <algorithm>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pf {
namespace {

std::optional<bool>& overridden() {
  static std::optional<bool> value;
  return value;
}

std::optional<bool>& overriddenBlur() {
  static std::optional<bool> value;
  return value;
}

Display* x11Display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

bool listsAtom(const Atom* atoms, unsigned long count, Atom wanted) {
  return std::find(atoms, atoms + count, wanted) != atoms + count;
}

bool rootHasProperty(Display* display, Atom property) {
  int count = 0;
  Atom* properties = XListProperties(display, DefaultRootWindow(display), &count);
  const bool found = properties && listsAtom(properties, static_cast<unsigned long>(count), property);
  if (properties) XFree(properties);
  return found;
}

bool rootSupports(Display* display, Atom wanted) {
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  // Window managers list a few hundred names at most.
  const bool read = XGetWindowProperty(display, DefaultRootWindow(display), supported, 0, 4096, False, XA_ATOM, &type,
                                       &format, &count, &remaining, &data) == Success;
  const bool found = read && data && format == 32 && listsAtom(reinterpret_cast<Atom*>(data), count, wanted);
  if (data) XFree(data);
  return found;
}

}  // namespace

bool Compositor::offersBlur() {
  if (overriddenBlur()) return *overriddenBlur();
  Display* display = x11Display();
  if (!display || !isActive()) return false;
  // Only if it exists: a name nobody made, nobody announces.
  const Atom blur = XInternAtom(display, "_KDE_NET_WM_BLUR_BEHIND_REGION", True);
  return blur != None && (rootHasProperty(display, blur) || rootSupports(display, blur));
}

void Compositor::overrideBlur(std::optional<bool> value) { overriddenBlur() = value; }

bool Compositor::isActive() {
  if (overridden()) return *overridden();
  Display* display = x11Display();
  if (!display) return false;
  const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.constData(), False);
  return XGetSelectionOwner(display, selection) != None;
}

void Compositor::overrideActive(std::optional<bool> value) { overridden() = value; }

}  // namespace pf
