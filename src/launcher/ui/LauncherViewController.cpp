#include "launcher/ui/LauncherViewController.h"

#include "launcher/LauncherAssignmentStore.h"
#include "launcher/LauncherSlot.h"
#include "launcher/QuibIcons.h"
#include "launcher/ui/DragHeader.h"
#include "launcher/ui/LauncherArrangement.h"
#include "launcher/ui/LauncherArrangementMenus.h"
#include "launcher/ui/LauncherResizeBorder.h"
#include "launcher/ui/ShortcutButton.h"
#include "look/QuibTheme.h"
#include "platform/core/DefaultsCoding.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/Text.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/Symbols.h"
#include "platform/ui/Screens.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"
#include "shortcuts/ShortcutStore.h"
#include "widgets/GlassSurface.h"

#include <QKeyEvent>
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

/// A tool tip showing `text` exactly as written, spaces and line breaks too:
/// Qt takes any tool tip that looks like markup for rich text, and a
/// shortcut's note or a file's path may.
QString plainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace

LauncherViewController::LauncherViewController(ShortcutStore& store) : m_store(store) {
  m_grid = LauncherGrid::fitting(savedSize(store.defaults()).value_or(preferredSize()), store.scale());
  m_assignments = &LauncherAssignmentStore::shared(store.shortcuts(), m_grid);
  m_assignmentObserver = pf::NotificationCenter::defaultCenter().addObserver(
      LauncherAssignmentStore::changed, nullptr, [this](const pf::Notification&) { refresh(); });
  makeArrangement();
}

LauncherViewController::~LauncherViewController() { delete m_root; }

void LauncherViewController::makeArrangement() {
  m_arrangement = std::make_unique<LauncherArrangement>(m_store, *m_assignments, *this);
  m_menus = std::make_unique<LauncherArrangementMenus>(m_store, *m_assignments, *m_arrangement, *this);
  m_arrangement->onInteraction = [this](bool arranging) {
    if (onArrangeInteraction) onArrangeInteraction(arranging);
  };
  m_arrangement->onError = [this](const QString& message) {
    if (onArrangeError) onArrangeError(message);
  };
  m_arrangement->onShowPage = [this](qint64 page) { showPage(page); };
  m_arrangement->onPlaced = [this](std::optional<qint64> page) {
    if (page) m_page = *page;
    refresh();
  };
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

bool LauncherViewController::isArranging() const { return m_arrangement->isArranging(); }

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

  m_arrangement->attach(m_root);

  rebuildButtons(true);
  m_resizeBorder = new LauncherResizeBorder(m_root);
  m_resizeBorder->raise();
  // The view's whole pixels may hold a smaller grid than the one it was sized for.
  fitGrid();
  layoutControls();
}

bool LauncherViewController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_root && event->type() == QEvent::Resize) {
    fitGrid();
    layoutControls();
  }
  if (watched == m_root && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancelOperation();
    return true;
  }
  return false;
}

void LauncherViewController::fitGrid() {
  const LauncherGrid fitted = LauncherGrid::fitting({double(m_root->width()), double(m_root->height())}, m_store.scale());
  if (fitted == m_grid) return;
  if (isArranging()) cancelArrangement();
  m_grid = fitted;
  m_assignments->update(m_store.shortcuts(), m_grid);
  m_page = std::min(m_page, pageCount() - 1);
  rebuildButtons(false);
}

void LauncherViewController::layoutControls() {
  if (!m_root) return;
  const double s = m_store.scale();
  const double w = m_root->width();
  const double h = m_root->height();
  const QString title = companionOverride.value_or(CharacterSkin::selected(m_store.defaults())).title();
  if (m_titleLabel->text() != title) m_titleLabel->setText(title);

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
  ShortcutButton* dragged = m_arrangement->dragSource();
  for (ShortcutButton* button : std::vector(m_buttons))
    if (button != dragged) button->cancelPointerGesture();
  // A button may be the one whose click or drop led here: it goes later, never now.
  // The dragged button stays until the drag ends: it carries the press across pages.
  for (ShortcutButton* button : std::exchange(m_buttons, {})) {
    button->hide();
    if (button != dragged) button->deleteLater();
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
    button->onPress = [this](bool on) { m_arrangement->setArranging(on); };
    button->onDragBegin = [this](ShortcutButton* b, pf::Point at) { return m_arrangement->beginDrag(b, at); };
    button->onDragUpdate = [this](pf::Point at) { m_arrangement->updateDrag(at); };
    button->onDragEnd = [this](pf::Point at) { m_arrangement->endDrag(at); };
    button->onContext = [this](ShortcutButton* b, pf::Point at) { m_menus->showContextMenu(b, at); };
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
  fitGrid();
  m_assignments->update(m_store.shortcuts(), m_grid);
  m_page = std::min(m_page, pageCount() - 1);
  rebuildButtons(true);
}

void LauncherViewController::showPage(qint64 page) {
  m_page = page;
  rebuildButtons(true);
}

void LauncherViewController::changePage(qint64 page) {
  if (page < 0 || page >= pageCount()) return;
  showPage(page);
  if (m_root->window()->isActiveWindow()) {
    if (!m_buttons.empty()) m_buttons.front()->setFocus();
    else m_gear->setFocus();
  }
}

void LauncherViewController::previousPage() { changePage(m_page - 1); }

void LauncherViewController::nextPage() { changePage(m_page + 1); }

void LauncherViewController::cancelArrangement() {
  m_menus->cancel();
  m_arrangement->cancel();
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
  const pf::Rect frame = screenRect(button);
  m_menus->offerAssignment(LauncherSlot::visible(m_page, m_grid)[std::size_t(at - m_buttons.begin())],
                           {frame.minX(), frame.maxY()});
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
  if (isArranging()) {
    cancelArrangement();
    return;
  }
  if (onDismiss) onDismiss();
}
