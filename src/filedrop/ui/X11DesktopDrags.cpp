#include "filedrop/ui/X11DesktopDrags.h"

#include "character/DroppedFileURLs.h"
#include "platform/ui/Screens.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QMimeData>
#include <QScreen>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

constexpr long longestURIList = 1 << 20;

}  // namespace

std::unique_ptr<X11DesktopDrags> X11DesktopDrags::open(const QByteArray& displayName) {
  Display* display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!display) return nullptr;
  int eventBase = 0;
  int errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<X11DesktopDrags>(new X11DesktopDrags(display, eventBase));
}

X11DesktopDrags::X11DesktopDrags(Display* display, int fixesEventBase)
    : m_display(display), m_fixesEventBase(fixesEventBase) {
  const Window root = DefaultRootWindow(m_display);
  m_requestor = XCreateWindow(m_display, root, -1, -1, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, 0, nullptr);
  m_selection = XInternAtom(m_display, "XdndSelection", False);
  m_uriList = XInternAtom(m_display, "text/uri-list", False);
  m_property = XInternAtom(m_display, "WENDLE_DRAGGED_URIS", False);
  m_incremental = XInternAtom(m_display, "INCR", False);
  XFixesSelectSelectionInput(m_display, root, m_selection, XFixesSetSelectionOwnerNotifyMask);
  XFlush(m_display);
  m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
  m_readEvents = [this] { readEvents(); };
  QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), m_readEvents);
}

X11DesktopDrags::~X11DesktopDrags() {
  m_notifier.reset();
  XDestroyWindow(m_display, m_requestor);
  XCloseDisplay(m_display);
}

void X11DesktopDrags::readEvents() {
  bool started = false;
  while (XPending(m_display) > 0) {
    XEvent event;
    XNextEvent(m_display, &event);
    if (event.type == m_fixesEventBase + XFixesSelectionNotify) {
      const auto& owner = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
      ++m_changeCount;
      started = true;
      m_files.clear();
      m_askedAt = 0;
      if (owner.owner != None) askForFiles(owner.selection_timestamp);
    } else if (event.type == SelectionNotify && event.xselection.requestor == m_requestor) {
      takeAnswer(event.xselection.property, event.xselection.time);
    }
  }
  if (started && onDragStarted) onDragStarted();
}

void X11DesktopDrags::askForFiles(unsigned long time) {
  // The owner's own time, which it echoes in its answer: an answer meant for
  // an earlier drag carries another and is passed over.
  XConvertSelection(m_display, m_selection, m_uriList, m_property, m_requestor, time);
  XFlush(m_display);
  m_askedAt = time;
}

void X11DesktopDrags::takeAnswer(unsigned long property, unsigned long time) {
  // Some sources answer with no time of their own (CurrentTime).
  if (m_askedAt == 0 || (time != m_askedAt && time != CurrentTime)) return;
  m_askedAt = 0;
  if (property == None) return;
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long remaining = 0;
  unsigned char* bytes = nullptr;
  const int status = XGetWindowProperty(m_display, m_requestor, m_property, 0, longestURIList / 4, True,
                                        AnyPropertyType, &type, &format, &items, &remaining, &bytes);
  if (status == Success && format == 8 && type != m_incremental) {
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(items)));
    m_files = droppedFileURLs(data);
  }
  if (bytes) XFree(bytes);
}

X11DesktopDrags::Pointer X11DesktopDrags::pointer() const {
  Window root = None;
  Window child = None;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned int mask = 0;
  const bool onThisScreen = XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY,
                                          &windowX, &windowY, &mask);
  // Waiting for the reply may have read events, such as a source's answer,
  // into Xlib's queue, where the socket notifier no longer sees them.
  if (XQLength(m_display) > 0)
    QMetaObject::invokeMethod(m_notifier.get(), m_readEvents, Qt::QueuedConnection);
  if (!onThisScreen) return {};
  // The server counts device pixels; our screen coordinates are Qt's logical ones.
  const QScreen* primary = QGuiApplication::primaryScreen();
  const double ratio = primary ? primary->devicePixelRatio() : 1.0;
  return {(mask & Button1Mask) != 0, pf::Screens::toYUp(QPoint(int(rootX / ratio), int(rootY / ratio)))};
}
