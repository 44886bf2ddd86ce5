#include "launcher/ui/LauncherViewController.h"

#include "launcher/LauncherAssignmentStore.h"
#include "launcher/LauncherSlot.h"
#include "launcher/QuibIcons.h"
#include "launcher/ui/DragHeader.h"
#include "launcher/ui/GlassSurface.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "launcher/ui/ShortcutButton.h"
#include "look/QuibTheme.h"
#include "platform/core/DefaultsCoding.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/Text.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screens.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutStore.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace {

const QString sizeKey = QStringLiteral("contentSize.launcher");

/// The saved launcher size, when both numbers are usable.
std::optional<pf::Size> savedSize(const pf::UserDefaults& defaults) {
  const QVariantMap stored = defaults.dictionary(sizeKey).value_or(QVariantMap{});
  const QVariant width = stored.value(QStringLiteral("width"));
  const QVariant height = stored.value(QStringLiteral("height"));
  if (!pf::DefaultsCoding::isNumber(width) || !pf::DefaultsCoding::isNumber(height)) return std::nullopt;
  const pf::Size size{width.toDouble(), height.toDouble()};
  const auto usable = [](double v) { return std::isfinite(v) && v > 0 && v <= 10000; };
  if (!usable(size.width) || !usable(size.height)) return std::nullopt;
  return size;
}

/// Places `view` at a y-up frame in its parent.
void place(QWidget* view, const pf::Rect& frame) {
  const double parentHeight = view->parentWidget() ? view->parentWidget()->height() : 0;
  view->setGeometry(pf::childFrameToQtPixels(frame, parentHeight));
}

QPixmap pixmapOf(const pf::Image& image, QSize size, double ratio) {
  QImage rendered = image.rendered((QSizeF(size) * ratio).toSize());
  rendered.setDevicePixelRatio(ratio);
  return QPixmap::fromImage(rendered);
}

pf::Rect screenRect(const QWidget* view) {
  return pf::Screens::toYUp(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()));
}

Shortcut placeholder(const LauncherSlot& slot) {
  Shortcut item;
  item.id = QStringLiteral("empty-") + QString(slot.key()).replace(QLatin1Char(':'), QLatin1Char('-'));
  item.label = slot.wide ? QStringLiteral("Add shortcut…") : QStringLiteral("Empty");
  item.note = slot.wide ? QStringLiteral("Choose a shortcut or drag one here. This large button stays "
                                         "assigned when you resize.")
                        : QStringLiteral("New active shortcuts fill small buttons.");
  return item;
}

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

QString messageOf(const std::exception& error) { return QString::fromUtf8(error.what()); }

/// A tool tip showing `text` exactly as written, spaces and line breaks too:
/// Qt takes any tool tip that looks like markup for rich text, and a
/// shortcut's note or a file's path may.
QString plainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace

LauncherViewController::LauncherViewController(ShortcutStore& store) : m_store(store) {
  m_pageHoverTimer.setSingleShot(true);
  m_pageHoverTimer.setInterval(dragPageDelayMs);
  connect(&m_pageHoverTimer, &QTimer::timeout, this, &LauncherViewController::turnPage);
  m_grid = LauncherGrid::fitting(savedSize(store.defaults()).value_or(preferredSize()), store.scale());
  m_assignments = &LauncherAssignmentStore::shared(store.shortcuts(), m_grid);
  m_assignmentObserver = pf::NotificationCenter::defaultCenter().addObserver(
      LauncherAssignmentStore::changed, nullptr, [this](const pf::Notification&) { refresh(); });
}

LauncherViewController::~LauncherViewController() {
  if (m_watchingEvents) qApp->removeEventFilter(this);
  delete m_root;
}

GlassSurface* LauncherViewController::view() {
  if (!m_root) loadView();
  return m_root;
}

pf::Size LauncherViewController::preferredSize() const {
  return LauncherGrid::standard(m_store.scale()).size();
}

pf::Size LauncherViewController::minimumSize() const { return LauncherGrid::minimum(m_store.scale()); }

pf::Size LauncherViewController::fittedSize(pf::Size size) const {
  return LauncherGrid::fitting(size, m_store.scale()).size();
}

qint64 LauncherViewController::pageCount() const {
  return m_assignments->value().pageCount(m_store.shortcuts());
}

QPushButton* LauncherViewController::makeHeaderButton(const QString& title,
                                                      const std::function<void(QPushButton*)>& action) {
  auto* button = new QPushButton(m_root);
  button->setAccessibleName(title);
  button->setToolTip(title);
  button->setFlat(true);
  connect(button, &QPushButton::clicked, this, [button, action] { action(button); });
  const auto layer = pf::ViewLayer::ensure(button);
  layer->setCornerRadius(7);
  layer->setBackgroundColor(pf::Color::calibratedWhite(1, 0.045));
  layer->setBorderWidth(0.7);
  layer->setBorderColor(pf::Color::calibratedWhite(1, 0.1));
  return button;
}

void LauncherViewController::loadView() {
  m_root = new GlassSurface;
  m_root->resize(int(m_grid.size().width), int(m_grid.size().height));
  m_root->setRobotFrame(true);
  m_root->onHover = [this](bool inside) {
    if (onHover) onHover(inside);
  };
  m_root->installEventFilter(this);

  m_header = new DragHeader(m_root);
  m_header->onDragStart = [this] {
    if (onHeaderDragStart) onHeaderDragStart();
  };
  m_header->onDelta = [this](pf::Point offset) {
    if (onHeaderDelta) onHeaderDelta(offset);
  };
  m_header->onDragEnd = [this](pf::Point at) {
    if (onHeaderDragEnd) onHeaderDragEnd(at);
  };
  m_titleLabel = new QLabel(QStringLiteral("Wendle"), m_header);
  pf::ViewStyle::setColor(m_titleLabel, pf::ViewStyle::ColorRole::text, QuibTheme::text());
  m_orbit = new QLabel(m_header);
  m_orbit->setScaledContents(true);

  m_clipboardButton = makeHeaderButton(QStringLiteral("Clipboard"), [this](QPushButton* b) { clipboardFavorites(b); });
  m_reminderButton = makeHeaderButton(QStringLiteral("Wendle Reminders"), [this](QPushButton* b) { reminders(b); });
  m_gear = makeHeaderButton(QStringLiteral("Wendle Settings"), [this](QPushButton*) { settings(); });

  m_previousButton = new QPushButton(QStringLiteral("Previous"), m_root);
  m_nextButton = new QPushButton(QStringLiteral("Next"), m_root);
  m_emptyButton = new QPushButton(QStringLiteral("Add or activate shortcuts…"), m_root);
  connect(m_previousButton, &QPushButton::clicked, this, &LauncherViewController::previousPage);
  connect(m_nextButton, &QPushButton::clicked, this, &LauncherViewController::nextPage);
  connect(m_emptyButton, &QPushButton::clicked, this, [this] { editShortcuts(m_emptyButton); });
  for (const auto& [button, direction] : {std::pair{m_previousButton, "previous"}, std::pair{m_nextButton, "next"}}) {
    button->setAccessibleName(QStringLiteral("%1 shortcut page").arg(button == m_previousButton ? "Previous" : "Next"));
    const QString help = QStringLiteral("Click to view the %1 page. Hold a dragged shortcut here to turn the page, "
                                        "then drop it onto the button to swap.")
                             .arg(QString::fromUtf8(direction));
    button->setToolTip(help);
    button->setAccessibleDescription(help);
  }

  m_pageLabel = new QLabel(m_root);
  m_pageLabel->setAlignment(Qt::AlignCenter);
  pf::ViewStyle::setColor(m_pageLabel, pf::ViewStyle::ColorRole::text,
                          pf::Color::system(QStringLiteral("secondaryLabelColor")));

  m_swapMarker = new QWidget(m_root);
  m_swapMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
  const auto marker = pf::ViewLayer::ensure(m_swapMarker);
  marker->setBorderColor(QuibTheme::highlight());
  marker->setBorderWidth(3);
  marker->setCornerRadius(12);
  marker->setBackgroundColor(QuibTheme::selection());
  m_swapMarker->hide();

  rebuildButtons(true);
  m_resizeBorder = new LauncherResizeBorder(m_root);
  m_resizeBorder->raise();
  layoutControls();
}

bool LauncherViewController::eventFilter(QObject* watched, QEvent* event) {
  if (m_watchingEvents && forwardDragEvent(watched, event)) return true;
  if (watched == m_root && event->type() == QEvent::Resize) layoutControls();
  if (watched == m_root && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancelOperation();
    return true;
  }
  return false;
}

void LauncherViewController::layoutControls() {
  if (!m_root) return;
  const double s = m_store.scale();
  const double w = m_root->width();
  const double h = m_root->height();
  const QString title = companionOverride.value_or(CharacterSkin::selected(m_store.defaults())).title();
  if (m_titleLabel->text() != title) m_titleLabel->setText(title);

  const LauncherGrid fitted = LauncherGrid::fitting({w, h}, s);
  if (fitted != m_grid) {
    if (m_arranging) cancelArrangement();
    m_grid = fitted;
    m_assignments->update(m_store.shortcuts(), m_grid);
    m_page = std::min(m_page, pageCount() - 1);
    rebuildButtons(false);
  }

  if (m_resizeBorder) place(m_resizeBorder, {0, 0, w, h});
  place(m_header, {18 * s, h - 60 * s, w - 36 * s, 48 * s});
  place(m_orbit, {0, 8 * s, 30 * s, 30 * s});
  m_orbit->setPixmap(pixmapOf(QuibIcons::orbit(), m_orbit->size(), m_root->devicePixelRatioF()));
  place(m_titleLabel, {40 * s, 9 * s, std::max(0.0, w - 220 * s), 30 * s});
  pf::ViewStyle::setFontSize(m_titleLabel, 23 * s, QFont::DemiBold);

  const struct {
    QPushButton* button;
    pf::Rect frame;
    const char* symbol;
    double size;
    pf::Color color;
  } headerButtons[] = {
      {m_clipboardButton, {w - 148 * s, h - 55 * s, 38 * s, 38 * s}, "doc.on.clipboard", 25 * s,
       pf::Color::system(QStringLiteral("systemCyan"))},
      {m_reminderButton, {w - 100 * s, h - 55 * s, 40 * s, 38 * s}, "bell.fill", 26 * s,
       pf::Color::calibratedRGB(1.0, 0.77, 0.25)},
      {m_gear, {w - 52 * s, h - 55 * s, 38 * s, 38 * s}, "gearshape.fill", 26 * s,
       pf::Color::calibratedRGB(0.83, 0.87, 0.92)},
  };
  for (const auto& b : headerButtons) {
    place(b.button, b.frame);
    const QSize side(std::min(b.button->width(), b.button->height()), std::min(b.button->width(), b.button->height()));
    if (const auto image = QuibIcons::headerSymbol(QString::fromUtf8(b.symbol), b.size, b.color)) {
      b.button->setIcon(QIcon(pixmapOf(*image, side, m_root->devicePixelRatioF())));
      b.button->setIconSize(side);
    }
  }
  place(m_previousButton, {w / 2 - 118 * s, 14 * s, 82 * s, 26 * s});
  place(m_nextButton, {w / 2 + 36 * s, 14 * s, 82 * s, 26 * s});
  place(m_pageLabel, {w / 2 - 28 * s, 17 * s, 56 * s, 22 * s});
  place(m_emptyButton, {w / 2 - 125 * s, m_grid.footer() + 8 * s, 250 * s, 32 * s});
  for (QPushButton* button : {m_previousButton, m_nextButton, m_emptyButton}) pf::ViewStyle::setFontSize(button, 12 * s);
  for (std::size_t i = 0; i < m_buttons.size(); ++i) place(m_buttons[i], m_grid.frame(qint64(i), {w, h}));
}

void LauncherViewController::rebuildButtons(bool layout) {
  // Any held button but the dragged one would never hear its release, so its
  // press ends first, while the page its owner may look at is still whole.
  for (ShortcutButton* button : std::vector(m_buttons))
    if (button != m_dragSource) button->cancelPointerGesture();
  // A button may be the one whose click or drop led here: it goes later, never now.
  // The dragged button stays until the drag ends: it carries the press across pages.
  for (ShortcutButton* button : std::exchange(m_buttons, {})) {
    button->hide();
    if (button != m_dragSource) button->deleteLater();
  }
  const std::vector<LauncherSlot> pageSlots =
      m_store.activeShortcuts().empty() ? std::vector<LauncherSlot>{} : LauncherSlot::visible(m_page, m_grid);
  for (std::size_t i = 0; i < pageSlots.size(); ++i) {
    const LauncherSlot& slot = pageSlots[i];
    const auto id = m_assignments->value().id(slot, m_store.shortcuts());
    const std::optional<Shortcut> found = id ? m_store.item(*id) : std::nullopt;
    const Shortcut item = found.value_or(placeholder(slot));
    auto* button = new ShortcutButton(item, m_grid.isWide(qint64(i)), &m_store, m_root);
    if (!found) {
      button->setPicture(pf::Symbols::named(QStringLiteral("plus"), 16, QStringLiteral("Choose shortcut")),
                         pf::Color::system(QStringLiteral("secondaryLabelColor")));
    } else {
      const QString help = item.note + (slot.wide ? QStringLiteral(". Drag to swap. Right-click to choose or clear "
                                                                   "this large button.")
                                                  : QStringLiteral(". Drag to swap. Hold over Next or Previous to "
                                                                   "move between pages."));
      button->setAccessibleDescription(help);
      button->setToolTip(plainToolTip(help));
    }
    button->onPress = [this](bool on) { setArranging(on); };
    button->onDragBegin = [this](ShortcutButton* b, pf::Point at) { return beginShortcutDrag(b, at); };
    button->onDragUpdate = [this](pf::Point at) { updateShortcutDrag(at); };
    button->onDragEnd = [this](pf::Point at) { endShortcutDrag(at); };
    button->onContext = [this](ShortcutButton* b, pf::Point at) { showContextMenu(b, at); };
    // Queued, so that whatever the click leads to runs outside the button's own handler.
    connect(
        button, &ShortcutButton::clicked, this,
        [this, clicked = QPointer<ShortcutButton>(button)] { launch(clicked); }, Qt::QueuedConnection);
    m_buttons.push_back(button);
    if (m_resizeBorder) button->stackUnder(m_resizeBorder);
    button->show();
  }

  const qint64 count = pageCount();
  m_previousButton->setEnabled(m_page > 0);
  m_nextButton->setEnabled(m_page < count - 1);
  m_pageLabel->setToolTip(plainToolTip(m_assignments->error().value_or(QString())));
  m_pageLabel->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(count));
  m_emptyButton->setVisible(m_store.activeShortcuts().empty());

  std::vector<QWidget*> chain{m_clipboardButton, m_reminderButton, m_gear};
  chain.insert(chain.end(), m_buttons.begin(), m_buttons.end());
  chain.insert(chain.end(), {m_previousButton, m_nextButton});
  if (m_emptyButton->isVisibleTo(m_root)) chain.push_back(m_emptyButton);
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
  if (layout) layoutControls();
}

void LauncherViewController::refresh() {
  if (!m_root) return;
  layoutControls();
  m_assignments->update(m_store.shortcuts(), m_grid);
  m_page = std::min(m_page, pageCount() - 1);
  rebuildButtons(true);
}

void LauncherViewController::changePage(qint64 page) {
  if (page < 0 || page >= pageCount()) return;
  m_page = page;
  rebuildButtons(true);
  if (m_root->window()->isActiveWindow()) {
    if (!m_buttons.empty()) m_buttons.front()->setFocus();
    else m_gear->setFocus();
  }
}

void LauncherViewController::previousPage() { changePage(m_page - 1); }

void LauncherViewController::nextPage() { changePage(m_page + 1); }

void LauncherViewController::setArranging(bool arranging) {
  if (arranging == m_arranging) return;
  m_arranging = arranging;
  if (!arranging) clearDrag();
  m_arrangementSnapshot =
      arranging ? std::optional<std::vector<Shortcut>>(m_store.shortcuts()) : std::nullopt;
  if (onArrangeInteraction) onArrangeInteraction(arranging);
  if (!arranging && m_pendingArrangeError) {
    const QString message = *std::exchange(m_pendingArrangeError, std::nullopt);
    if (onArrangeError) onArrangeError(message);
  }
}

void LauncherViewController::cancelArrangement() {
  if (m_activeMoveMenu) m_activeMoveMenu->cancelTracking();
  if (m_dragSource) m_dragSource->cancelPointerGesture();
  for (ShortcutButton* button : m_buttons) button->cancelPointerGesture();
  setArranging(false);
}

QPointF LauncherViewController::rootPoint(pf::Point inWindow) const {
  const QWidget* top = m_root->window();
  return m_root->mapFrom(top, QPointF(inWindow.x, top->height() - inWindow.y));
}

std::optional<int> LauncherViewController::pageDirection(QPointF inRoot) const {
  if (!QRectF(m_root->rect()).contains(inRoot)) return std::nullopt;
  const auto over = [&](const QPushButton* button) {
    return button->isVisibleTo(m_root) && button->isEnabled() && QRectF(button->geometry()).contains(inRoot);
  };
  if (over(m_nextButton)) return 1;
  if (over(m_previousButton)) return -1;
  return std::nullopt;
}

bool LauncherViewController::beginShortcutDrag(ShortcutButton* button, pf::Point point) {
  const std::optional<Shortcut> item = m_store.item(button->shortcutID());
  const bool accepted = m_arranging && m_store.catalogIsWritable() && !m_assignments->error() && item &&
                        item->isActive && m_arrangementSnapshot == m_store.shortcuts() &&
                        std::find(m_buttons.begin(), m_buttons.end(), button) != m_buttons.end();
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
  setAlpha(button, 0.35);
  m_swapMarker->hide();
  m_swapMarker->raise();
  return true;
}

void LauncherViewController::updateShortcutDrag(pf::Point point) {
  if (!m_dragID || !m_arrangementSnapshot) return;
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
    const QPushButton* pageButton = *direction > 0 ? m_nextButton : m_previousButton;
    m_swapMarker->setGeometry(pageButton->geometry().adjusted(1, 1, -1, -1));
    pf::ViewLayer::ensure(m_swapMarker)->setCornerRadius(6);
    m_swapMarker->show();
    return;
  }
  const auto target = std::find_if(m_buttons.begin(), m_buttons.end(),
                                   [&](const ShortcutButton* b) { return QRectF(b->geometry()).contains(p); });
  if (target == m_buttons.end()) return;
  const auto i = qint64(target - m_buttons.begin());
  const LauncherSlot slot = LauncherSlot::visible(m_page, m_grid)[std::size_t(i)];
  const auto held = m_assignments->value().slotIDs.find(slot.key());
  if (held != m_assignments->value().slotIDs.end() && held->second == *m_dragID) return;
  m_dropIndex = m_page * m_grid.capacity() + i;
  m_swapMarker->setGeometry((*target)->geometry().adjusted(1, 1, -1, -1));
  pf::ViewLayer::ensure(m_swapMarker)->setCornerRadius(12);
  m_swapMarker->show();
}

void LauncherViewController::turnPage() {
  const std::optional<int> direction = m_pageHoverDirection;
  if (!m_arranging || !m_dragID || !direction || pageDirection(rootPoint(m_lastDragPoint)) != direction) return;
  m_page += *direction;
  rebuildButtons(true);
  for (ShortcutButton* button : m_buttons)
    if (button->shortcutID() == *m_dragID) setAlpha(button, 0.35);
  if (m_dragGhost) m_dragGhost->raise();
  m_swapMarker->raise();
  updateShortcutDrag(m_lastDragPoint);
}

void LauncherViewController::endShortcutDrag(pf::Point point) {
  updateShortcutDrag(point);
  const std::optional<QString> id = m_dragID;
  const std::optional<qint64> index = m_dropIndex;
  const std::optional<std::vector<Shortcut>> snapshot = m_arrangementSnapshot;
  clearDrag();
  if (id && index && snapshot) applySwap(*id, *index, *snapshot);
}

void LauncherViewController::clearDrag() {
  m_pageHoverTimer.stop();
  m_pageHoverDirection.reset();
  if (m_watchingEvents) qApp->removeEventFilter(this);
  m_watchingEvents = false;
  if (ShortcutButton* source = std::exchange(m_dragSource, nullptr)) {
    setAlpha(source, 1);
    if (std::find(m_buttons.begin(), m_buttons.end(), source) == m_buttons.end()) source->deleteLater();
  }
  for (ShortcutButton* button : m_buttons) setAlpha(button, 1);
  if (QWidget* ghost = std::exchange(m_dragGhost, nullptr)) {
    ghost->hide();
    ghost->deleteLater();
  }
  if (m_swapMarker) m_swapMarker->hide();
  m_dragID.reset();
  m_dropIndex.reset();
}

/// While dragging, the launcher's left-button drags and releases all go to the
/// dragged button, which may no longer be under the pointer or even on the
/// page; the same events in another window end the arrangement.
bool LauncherViewController::forwardDragEvent(QObject* watched, QEvent* event) {
  const bool dragged = event->type() == QEvent::MouseMove &&
                       static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton);
  const bool released = event->type() == QEvent::MouseButtonRelease &&
                        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if ((!dragged && !released) || !m_dragSource || !m_root) return false;
  const QWidget* top = m_root->window();
  const auto* widget = qobject_cast<const QWidget*>(watched);
  const bool ours = widget ? widget->window() == top : watched == top->windowHandle();
  if (!ours) {
    cancelArrangement();
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

void LauncherViewController::applySwap(const QString& id, qint64 index, const std::vector<Shortcut>& expected) {
  if (m_store.shortcuts() != expected) {
    m_pendingArrangeError = CatalogError::conflict().errorDescription();
    return;
  }
  const qint64 capacity = m_grid.capacity();
  const LauncherSlot target = LauncherSlot::visible(index / capacity, m_grid)[std::size_t(index % capacity)];
  try {
    m_assignments->assign(id, target, m_store.shortcuts(), m_grid);
  } catch (const std::exception& error) {
    m_pendingArrangeError = messageOf(error);
    return;
  }
  m_page = index / capacity;
  refresh();
}

void LauncherViewController::launch(ShortcutButton* button) {
  if (!button) return;
  const std::optional<Shortcut> item = m_store.item(button->shortcutID());
  if (item && item->isActive) {
    if (button->window()->isVisible() && onButtonEffect) onButtonEffect(screenRect(button));
    if (onOpen) onOpen(*item);
    return;
  }
  const auto at = std::find(m_buttons.begin(), m_buttons.end(), button);
  if (at == m_buttons.end()) return;
  offerAssignment(button, LauncherSlot::visible(m_page, m_grid)[std::size_t(at - m_buttons.begin())]);
}

/// The menu that puts an active shortcut on an empty slot.
void LauncherViewController::offerAssignment(ShortcutButton* button, const LauncherSlot& slot) {
  setArranging(true);
  const std::unique_ptr<pf::Menu> menu = assignmentMenu(slot);
  const pf::Rect frame = screenRect(button);
  runMenu(*menu, {frame.minX(), frame.maxY()});
}

void LauncherViewController::showContextMenu(ShortcutButton* button, pf::Point at) {
  setArranging(true);
  const auto found = std::find(m_buttons.begin(), m_buttons.end(), button);
  if (found == m_buttons.end()) {
    m_activeMoveMenu = nullptr;
    setArranging(false);
    return;
  }
  const LauncherSlot slot = LauncherSlot::visible(m_page, m_grid)[std::size_t(found - m_buttons.begin())];
  const bool showsShortcut = m_store.item(button->shortcutID()).has_value();
  const std::unique_ptr<pf::Menu> menu =
      !slot.wide && showsShortcut ? moveMenu(button->shortcutID()) : assignmentMenu(slot);
  runMenu(*menu, at);
}

// Arranging ends only once the menu has returned: Qt hides a menu before it
// runs the chosen item, and that item still needs the arrangement's snapshot.
void LauncherViewController::runMenu(pf::Menu& menu, pf::Point at) {
  QPointer<LauncherViewController> self(this);
  m_activeMoveMenu = &menu;
  menu.popUp(at);
  if (!self) return;
  m_activeMoveMenu = nullptr;
  setArranging(false);
}

std::unique_ptr<pf::Menu> LauncherViewController::moveMenu(const QString& id) {
  auto menu = std::make_unique<pf::Menu>(QStringLiteral("Arrange Shortcut"));
  const std::vector<Shortcut> original = m_arrangementSnapshot.value_or(m_store.shortcuts());
  const std::optional<LauncherSlot> slot = m_assignments->value().slot(id);
  if (!slot) return menu;
  const qint64 capacity = m_grid.capacity();
  const auto globalIndex = [&](qint64 page, const std::vector<LauncherSlot>& onPage, const LauncherSlot& s) {
    const auto at = std::find(onPage.begin(), onPage.end(), s);
    return page * capacity + (at == onPage.end() ? 0 : qint64(at - onPage.begin()));
  };
  const qint64 current = globalIndex(slot->page, LauncherSlot::visible(slot->page, m_grid), *slot);
  std::optional<qint64> last;
  const qint64 pages = pageCount();
  for (qint64 page = 0; page < pages; ++page)
    for (const LauncherSlot& s : LauncherSlot::visible(page, m_grid))
      if (m_assignments->value().id(s, m_store.shortcuts()))
        last = std::max(last.value_or(0), globalIndex(page, LauncherSlot::visible(page, m_grid), s));
  const qint64 lastIndex = last.value_or(current);
  const bool writable = m_store.catalogIsWritable() && !m_assignments->error();
  const auto add = [&](pf::Menu& into, const QString& title, qint64 target) {
    QAction* item = into.addItem(title, [this, request = ShortcutSwapRequest{id, target, original}] {
      moveFromMenu(request);
    });
    item->setEnabled(writable && target >= 0 && target <= lastIndex && target != current);
  };
  add(*menu, QStringLiteral("Swap with Previous"), current - 1);
  add(*menu, QStringLiteral("Swap with Next"), current + 1);
  menu->addSeparator();
  add(*menu, QStringLiteral("Swap with First"), 0);
  add(*menu, QStringLiteral("Swap with Last"), lastIndex);
  if (pages > 1) {
    auto* pageMenu = new pf::Menu(QStringLiteral("Swap with Page"), menu.get());
    for (qint64 n = 1; n <= pages; ++n) add(*pageMenu, QStringLiteral("Page %1").arg(n), (n - 1) * capacity);
    menu->addMenu(pageMenu);
  }
  return menu;
}

void LauncherViewController::moveFromMenu(const ShortcutSwapRequest& request) {
  if (m_arranging) {
    applySwap(request.id, request.index, request.original);
    return;
  }
  setArranging(true);
  applySwap(request.id, request.index, request.original);
  setArranging(false);
}

std::unique_ptr<pf::Menu> LauncherViewController::assignmentMenu(const LauncherSlot& slot) {
  auto menu = std::make_unique<pf::Menu>(QStringLiteral("Choose shortcut"));
  std::vector<Shortcut> actives = m_store.activeShortcuts();
  std::stable_sort(actives.begin(), actives.end(),
                   [](const Shortcut& a, const Shortcut& b) { return pf::Text::naturalLess(a.label, b.label); });
  const auto& slotIDs = m_assignments->value().slotIDs;
  const auto assigned = slotIDs.find(slot.key());
  const bool placed = assigned != slotIDs.end();
  for (const Shortcut& shortcut : actives) {
    QAction* action = menu->addItem(shortcut.label, [this, id = shortcut.id, slot] { chooseAssignment(slot, id); });
    action->setCheckable(true);
    action->setChecked(placed && assigned->second == shortcut.id);
    action->setEnabled(m_store.catalogIsWritable() && !m_assignments->error());
  }
  if (slot.wide && placed) {
    menu->addSeparator();
    QAction* clear = menu->addItem(QStringLiteral("Clear large button"),
                                   [this, slot] { chooseAssignment(slot, std::nullopt); });
    clear->setEnabled(!m_assignments->error());
  }
  return menu;
}

void LauncherViewController::chooseAssignment(const LauncherSlot& slot, const std::optional<QString>& id) {
  if (m_arrangementSnapshot && *m_arrangementSnapshot != m_store.shortcuts()) {
    m_pendingArrangeError = CatalogError::conflict().errorDescription();
    return;
  }
  try {
    m_assignments->assign(id, slot, m_store.shortcuts(), m_grid);
  } catch (const std::exception& error) {
    m_pendingArrangeError = messageOf(error);
    return;
  }
  refresh();
}

void LauncherViewController::reportEffect(QWidget* sender) {
  if (sender && sender->window()->isVisible() && onButtonEffect) onButtonEffect(screenRect(sender));
}

void LauncherViewController::editShortcuts(QWidget* sender) {
  reportEffect(sender);
  if (onEditShortcuts) onEditShortcuts();
}

void LauncherViewController::reminders(QWidget* sender) {
  reportEffect(sender);
  if (onReminders) onReminders();
}

void LauncherViewController::clipboardFavorites(QWidget* sender) {
  reportEffect(sender);
  if (onClipboardFavorites) onClipboardFavorites();
}

void LauncherViewController::settings() {
  if (onSettings) onSettings();
}

void LauncherViewController::cancelOperation() {
  if (m_arranging) {
    cancelArrangement();
    return;
  }
  if (onDismiss) onDismiss();
}
