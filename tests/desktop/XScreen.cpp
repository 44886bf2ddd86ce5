#include "desktop/XScreen.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
// Xlib last: its macros would break the Qt headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace desk {

QImage XScreen::grab(QRect area) const {
  const Window root = DefaultRootWindow(m_display);
  if (area.isEmpty())
    area = {0, 0, DisplayWidth(m_display, DefaultScreen(m_display)),
            DisplayHeight(m_display, DefaultScreen(m_display))};
  XImage* pixels = XGetImage(m_display, root, area.x(), area.y(), unsigned(area.width()), unsigned(area.height()),
                             AllPlanes, ZPixmap);
  if (!pixels) return {};
  QImage image(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < area.width(); ++x) line[x] = QRgb(XGetPixel(pixels, x, y)) | 0xff000000u;
  }
  XDestroyImage(pixels);
  return image;
}

QRect XScreen::drawnArea(WindowId window) const {
  XWindowAttributes attributes;
  Window child;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(m_display, window, &attributes)) return {};
  XTranslateCoordinates(m_display, window, attributes.root, 0, 0, &x, &y, &child);
  const QRect whole(x, y, attributes.width, attributes.height);
  if (attributes.depth != 32) return whole;
  // The compositor keeps a redirected window's own pixels, alpha included.
  XImage* pixels =
      XGetImage(m_display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
  if (!pixels) return whole;
  QRect drawn;
  for (int row = 0; row < attributes.height; ++row)
    for (int column = 0; column < attributes.width; ++column)
      if (XGetPixel(pixels, column, row) >> 24) drawn |= QRect(x + column, y + row, 1, 1);
  XDestroyImage(pixels);
  return drawn;
}

QString XScreen::save(const QString& name) const {
  QDir().mkpath(QStringLiteral("desktop-shots"));
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("desktop-shots/%1.png").arg(name));
  grab().save(path);
  return path;
}

QString XScreen::clipboardText() const {
  const Window root = DefaultRootWindow(m_display);
  const Window requestor = XCreateSimpleWindow(m_display, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom property = XInternAtom(m_display, "DESK_CLIPBOARD", False);
  const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
  XConvertSelection(m_display, XInternAtom(m_display, "CLIPBOARD", False), utf8, property, requestor, CurrentTime);
  XFlush(m_display);
  QString text;
  const QDeadlineTimer deadline(5000);
  XEvent event;
  while (!deadline.hasExpired()) {
    if (!XCheckTypedWindowEvent(m_display, requestor, SelectionNotify, &event)) {
      QThread::msleep(10);
      continue;
    }
    if (event.xselection.property == None) break;
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_display, requestor, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &items,
                       &after, &data);
    if (data) text = QString::fromUtf8(reinterpret_cast<char*>(data), qsizetype(items));
    if (data) XFree(data);
    break;
  }
  XDestroyWindow(m_display, requestor);
  return text;
}

}  // namespace desk
