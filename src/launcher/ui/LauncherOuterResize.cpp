#include "launcher/ui/LauncherOuterResize.h"

#include "launcher/LauncherResizeGeometry.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screens.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

/// A handle's content: hands every pointer event to the launcher's border,
/// at the same place in the border's coordinates.
class OuterResizeView final : public QWidget {
 public:
  explicit OuterResizeView(LauncherResizeBorder* border) : m_border(border) { setMouseTracking(true); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor(0, 0, 0, 5));
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!m_border) return;
    if (m_border->isResizing() && (event->buttons() & Qt::LeftButton))
      m_border->pointerDragged(screenPoint(event));
    else
      m_border->pointerMoved(borderPoint(event));
  }
  void leaveEvent(QEvent*) override {
    if (m_border) m_border->pointerExited();
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (m_border && event->button() == Qt::LeftButton) m_border->pointerDown(borderPoint(event), screenPoint(event));
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (m_border && event->button() == Qt::LeftButton) m_border->pointerUp(screenPoint(event), borderPoint(event));
  }

 private:
  static pf::Point screenPoint(const QMouseEvent* event) {
    return pf::Screens::space().toYUp(event->globalPosition());
  }
  pf::Point borderPoint(const QMouseEvent* event) const {
    return m_border->localPoint(m_border->mapFromGlobal(event->globalPosition()));
  }

  QPointer<LauncherResizeBorder> m_border;
};

}  // namespace

LauncherOuterResize::LauncherOuterResize(pf::Window* panel, LauncherResizeBorder* border) : m_panel(panel) {
  for (auto& handle : m_handles) {
    handle = std::make_unique<pf::Panel>();
    // Untitled, it would take the application's name, which is the companion's title.
    handle->setWindowTitle(QStringLiteral("Wendle Resize Handle"));
    m_showable = handle->setTranslucentBackground(true) && m_showable;
    handle->setLevel(panel->level());
    handle->setContentView(new OuterResizeView(border));
  }
  auto& center = pf::NotificationCenter::defaultCenter();
  for (const QString& name : {pf::Window::didMoveNotification, pf::Window::didResizeNotification}) {
    m_observations.push_back(center.addObserver(name, panel, [this](const pf::Notification&) { layout(); }));
  }
}

LauncherOuterResize::~LauncherOuterResize() {
  if (m_panel)
    for (auto& handle : m_handles) m_panel->removeChildWindow(handle.get());
}

void LauncherOuterResize::layout() {
  if (!m_panel) return;
  const auto frames = LauncherResizeGeometry::outerFrames(m_panel->frame());
  for (std::size_t i = 0; i < m_handles.size(); ++i) m_handles[i]->setFrame(frames[i]);
}

void LauncherOuterResize::show() {
  if (!m_panel || !m_showable) return;
  layout();
  for (auto& handle : m_handles) {
    if (!handle->parentWindow()) m_panel->addChildWindow(handle.get());
    handle->setLevel(m_panel->level());
    handle->orderFront();
  }
}

void LauncherOuterResize::hide() {
  for (auto& handle : m_handles) handle->orderOut();
}
