#include "launcher/ui/LauncherArrangement.h"

#include "launcher/LauncherAssignmentStore.h"
#include "launcher/LauncherSlot.h"
#include "launcher/ui/LauncherViewController.h"
#include "launcher/ui/ShortcutButton.h"
#include "look/QuibTheme.h"
#include "platform/ui/ViewLayer.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutStore.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>
#include <algorithm>

namespace {

/// Fades a button while its shortcut is being dragged; 1 restores it.
void setAlpha(QWidget* view, double alpha) {
  if (alpha >= 1) {
    view->setGraphicsEffect(nullptr);
    return;
  }
  auto* effect = new QGraphicsOpacityEffect(view);
  effect->setOpacity(alpha);
  view->setGraphicsEffect(effect);
}

/// A picture of `button` as it shows now, at the ghost's alpha.
QPixmap ghostPicture(ShortcutButton* button) {
  const QPixmap shot = button->grab();
  QPixmap faded(shot.size());
  faded.setDevicePixelRatio(shot.devicePixelRatio());
  faded.fill(Qt::transparent);
  QPainter painter(&faded);
  painter.setOpacity(0.88);
  painter.drawPixmap(0, 0, shot);
  return faded;
}

constexpr double draggedAlpha = 0.35;

}  // namespace

LauncherArrangement::LauncherArrangement(ShortcutStore& store, LauncherAssignmentStore& assignments,
                                         const LauncherViewController& launcher)
    : m_store(store), m_assignments(assignments), m_launcher(launcher) {
  m_pageHoverTimer.setSingleShot(true);
  m_pageHoverTimer.setInterval(dragPageDelayMs);
  connect(&m_pageHoverTimer, &QTimer::timeout, this, &LauncherArrangement::turnPage);
}

LauncherArrangement::~LauncherArrangement() { stopWatching(); }

void LauncherArrangement::attach(QWidget* root) {
  m_root = root;
  m_swapMarker = new QWidget(root);
  m_swapMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
  const auto marker = pf::ViewLayer::ensure(m_swapMarker);
  marker->setBorderColor(QuibTheme::highlight());
  marker->setBorderWidth(3);
  marker->setCornerRadius(12);
  marker->setBackgroundColor(QuibTheme::selection());
  m_swapMarker->hide();
}

void LauncherArrangement::setArranging(bool arranging) {
  if (arranging == m_arranging) return;
  m_arranging = arranging;
  if (!arranging) clearDrag();
  m_snapshot = arranging ? std::optional<std::vector<Shortcut>>(m_store.shortcuts()) : std::nullopt;
  if (onInteraction) onInteraction(arranging);
  if (!arranging && m_pendingError) {
    const QString message = *std::exchange(m_pendingError, std::nullopt);
    if (onError) onError(message);
  }
}

void LauncherArrangement::cancel() {
  if (m_dragSource) m_dragSource->cancelPointerGesture();
  for (ShortcutButton* button : m_launcher.buttons()) button->cancelPointerGesture();
  setArranging(false);
}

bool LauncherArrangement::place(const std::optional<QString>& id, const LauncherSlot& slot,
                                const std::vector<Shortcut>& expected) {
  if (m_store.shortcuts() != expected) {
    m_pendingError = CatalogError::conflict().errorDescription();
    return false;
  }
  try {
    m_assignments.assign(id, slot, m_store.shortcuts(), m_launcher.grid());
  } catch (const std::exception& error) {
    m_pendingError = QString::fromUtf8(error.what());
    return false;
  }
  return true;
}

void LauncherArrangement::assign(const std::optional<QString>& id, const LauncherSlot& slot) {
  if (place(id, slot, m_snapshot.value_or(m_store.shortcuts())) && onPlaced) onPlaced(std::nullopt);
}

void LauncherArrangement::applySwap(const QString& id, qint64 index, const std::vector<Shortcut>& expected) {
  const LauncherGrid& grid = m_launcher.grid();
  const qint64 capacity = grid.capacity();
  const LauncherSlot target = LauncherSlot::visible(index / capacity, grid)[std::size_t(index % capacity)];
  if (place(id, target, expected) && onPlaced) onPlaced(index / capacity);
}

QPointF LauncherArrangement::rootPoint(pf::Point inWindow) const {
  const QWidget* top = m_root->window();
  return m_root->mapFrom(top, QPointF(inWindow.x, top->height() - inWindow.y));
}

std::optional<int> LauncherArrangement::pageDirection(QPointF inRoot) const {
  if (!QRectF(m_root->rect()).contains(inRoot)) return std::nullopt;
  const auto over = [&](const QPushButton* button) {
    return button->isVisibleTo(m_root) && button->isEnabled() && QRectF(button->geometry()).contains(inRoot);
  };
  if (over(m_launcher.nextButton())) return 1;
  if (over(m_launcher.previousButton())) return -1;
  return std::nullopt;
}

bool LauncherArrangement::beginDrag(ShortcutButton* button, pf::Point point) {
  const std::optional<Shortcut> item = m_store.item(button->shortcutID());
  const std::vector<ShortcutButton*>& buttons = m_launcher.buttons();
  const bool accepted = m_arranging && m_root && m_store.catalogIsWritable() && !m_assignments.error() && item &&
                        item->isActive && m_snapshot == m_store.shortcuts() &&
                        std::find(buttons.begin(), buttons.end(), button) != buttons.end();
  if (!accepted) return false;
  m_dragID = button->shortcutID();
  m_dragSource = button;
  m_dragStart = rootPoint(point);
  m_dragFrame = button->geometry();
  qApp->installEventFilter(this);
  m_watchingEvents = true;

  auto* ghost = new QLabel(m_root);
  ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
  ghost->setScaledContents(true);
  ghost->setPixmap(ghostPicture(button));
  ghost->setGeometry(button->geometry());
  ghost->show();
  ghost->raise();
  m_dragGhost = ghost;
  setAlpha(button, draggedAlpha);
  m_swapMarker->hide();
  m_swapMarker->raise();
  return true;
}

void LauncherArrangement::updateDrag(pf::Point point) {
  if (!m_dragID || !m_snapshot) return;
  m_lastDragPoint = point;
  const QPointF p = rootPoint(point);
  if (m_dragGhost) m_dragGhost->move((p + m_dragFrame.topLeft() - m_dragStart).toPoint());
  m_dropIndex.reset();
  m_swapMarker->hide();

  const std::optional<int> direction = pageDirection(p);
  if (direction != m_pageHoverDirection) {
    m_pageHoverTimer.stop();
    m_pageHoverDirection = direction;
    if (direction) m_pageHoverTimer.start();
  }

  if (!QRectF(m_root->rect()).contains(p)) return;
  if (direction) {
    const QPushButton* pageButton = *direction > 0 ? m_launcher.nextButton() : m_launcher.previousButton();
    m_swapMarker->setGeometry(pageButton->geometry().adjusted(1, 1, -1, -1));
    pf::ViewLayer::ensure(m_swapMarker)->setCornerRadius(6);
    m_swapMarker->show();
    return;
  }
  const std::vector<ShortcutButton*>& buttons = m_launcher.buttons();
  const auto target = std::find_if(buttons.begin(), buttons.end(),
                                   [&](const ShortcutButton* b) { return QRectF(b->geometry()).contains(p); });
  if (target == buttons.end()) return;
  const auto i = qint64(target - buttons.begin());
  const LauncherSlot slot = LauncherSlot::visible(m_launcher.page(), m_launcher.grid())[std::size_t(i)];
  const auto& slotIDs = m_assignments.value().slotIDs;
  const auto held = slotIDs.find(slot.key());
  if (held != slotIDs.end() && held->second == *m_dragID) return;
  m_dropIndex = m_launcher.page() * m_launcher.grid().capacity() + i;
  m_swapMarker->setGeometry((*target)->geometry().adjusted(1, 1, -1, -1));
  pf::ViewLayer::ensure(m_swapMarker)->setCornerRadius(12);
  m_swapMarker->show();
}

void LauncherArrangement::turnPage() {
  const std::optional<int> direction = m_pageHoverDirection;
  if (!m_arranging || !m_dragID || !direction || pageDirection(rootPoint(m_lastDragPoint)) != direction) return;
  if (onShowPage) onShowPage(m_launcher.page() + *direction);
  for (ShortcutButton* button : m_launcher.buttons())
    if (button->shortcutID() == *m_dragID) setAlpha(button, draggedAlpha);
  if (m_dragGhost) m_dragGhost->raise();
  m_swapMarker->raise();
  updateDrag(m_lastDragPoint);
}

void LauncherArrangement::endDrag(pf::Point point) {
  updateDrag(point);
  const std::optional<QString> id = m_dragID;
  const std::optional<qint64> index = m_dropIndex;
  const std::optional<std::vector<Shortcut>> snapshot = m_snapshot;
  clearDrag();
  if (id && index && snapshot) applySwap(*id, *index, *snapshot);
}

void LauncherArrangement::stopWatching() {
  if (m_watchingEvents) qApp->removeEventFilter(this);
  m_watchingEvents = false;
}

void LauncherArrangement::clearDrag() {
  m_pageHoverTimer.stop();
  m_pageHoverDirection.reset();
  stopWatching();
  const std::vector<ShortcutButton*>& buttons = m_launcher.buttons();
  if (ShortcutButton* source = std::exchange(m_dragSource, nullptr)) {
    setAlpha(source, 1);
    if (std::find(buttons.begin(), buttons.end(), source) == buttons.end()) source->deleteLater();
  }
  for (ShortcutButton* button : buttons) setAlpha(button, 1);
  if (QWidget* ghost = std::exchange(m_dragGhost, nullptr)) {
    ghost->hide();
    ghost->deleteLater();
  }
  if (m_swapMarker) m_swapMarker->hide();
  m_dragID.reset();
  m_dropIndex.reset();
}

bool LauncherArrangement::eventFilter(QObject* watched, QEvent* event) {
  return m_watchingEvents && forwardDragEvent(watched, event);
}

/// While dragging, the launcher's left-button drags and releases all go to the
/// dragged button, which may no longer be under the pointer or even on the
/// page; the same events in another window end the arrangement.
bool LauncherArrangement::forwardDragEvent(QObject* watched, QEvent* event) {
  const bool dragged = event->type() == QEvent::MouseMove &&
                       static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton);
  const bool released = event->type() == QEvent::MouseButtonRelease &&
                        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if ((!dragged && !released) || !m_dragSource || !m_root) return false;
  const QWidget* top = m_root->window();
  const auto* widget = qobject_cast<const QWidget*>(watched);
  const bool ours = widget ? widget->window() == top : watched == top->windowHandle();
  if (!ours) {
    cancel();
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  ShortcutButton* source = m_dragSource;
  QMouseEvent forwarded(event->type(), source->mapFromGlobal(mouse->globalPosition()), mouse->globalPosition(),
                        mouse->button(), mouse->buttons(), mouse->modifiers());
  if (released) source->mouseReleaseEvent(&forwarded);
  else source->mouseMoveEvent(&forwarded);
  return true;
}
