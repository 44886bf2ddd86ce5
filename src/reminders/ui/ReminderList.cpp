#include "reminders/ui/ReminderList.h"

#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/core/Color.h"
#include "platform/core/QtGeometry.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/Path.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderListing.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"
#include "widgets/DesignFrames.h"
#include "reminders/ui/PlainText.h"
#include "reminders/ui/ReminderGlowButton.h"
#include "reminders/ui/SymbolView.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr pf::Size baseSize{440, 570};
constexpr pf::Rect listFrame{20, 158, 400, 310};
constexpr double rowHeight = 88;
constexpr double rowSpacing = 10;
constexpr double textInset = 72;

pf::Rect cardRect(const QWidget* row) { return pf::Rect(0, 0, row->width(), row->height()).insetBy(2, 5); }

/// One reminder's card: a rounded tile in the theme's card colour with the
/// skin's frame, washed in the selection colour while selected. Its texts
/// keep their left edge and take the width the row gets.
class CardRow final : public QWidget {
 public:
  explicit CardRow(QWidget* parent = nullptr) : QWidget(parent) {
    setObjectName(QStringLiteral("reminderCard"));
    setFixedHeight(int(rowHeight));
  }

  std::function<void()> onPress;
  std::function<void()> onDoubleClick;

  void setSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    update();
  }
  bool isSelected() const { return m_selected; }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && onPress) onPress();
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
  }

  void resizeEvent(QResizeEvent*) override {
    const double textWidth = width() - textInset;
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
      const bool isName = label->objectName() == QStringLiteral("name");
      const pf::Rect frame = isName ? pf::Rect{60, 49, textWidth, 24} : pf::Rect{60, 17, textWidth, 25};
      label->setGeometry(pf::childFrameToQtPixels(frame, height()));
    }
  }

  void paintEvent(QPaintEvent*) override {
    const pf::Rect card = cardRect(this);
    {
      QPainter painter(this);
      painter.setRenderHint(QPainter::Antialiasing);
      pf::PainterCanvas canvas(painter, height());
      const pf::Path shape = pf::Path::roundedRect(card, 12, 12);
      canvas.fill(shape, QuibTheme::card());
      canvas.stroke(shape, QuibTheme::border(), 2);
      QuibSkin::drawRobotFrame(canvas, card, 4);
      if (m_selected) {
        canvas.fill(shape, QuibTheme::selection());
        canvas.stroke(shape, QuibTheme::accent(), 2);
      }
    }
    QuibContentSmoke::update(this, {card});
  }

 private:
  bool m_selected = false;
};

/// The column of cards. It takes the keyboard as a table does, through `onKey`,
/// which answers whether it used the key.
class CardColumn final : public QWidget {
 public:
  CardColumn() { setFocusPolicy(Qt::StrongFocus); }

  std::function<bool(int key)> onKey;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!onKey || !onKey(event->key())) QWidget::keyPressEvent(event);
  }
};

/// One line of a card, cut with an ellipsis to its width and shown whole in its tool tip.
class ElidingLabel final : public QLabel {
 public:
  ElidingLabel(const QString& text, QWidget* parent) : QLabel(text, parent), m_text(text) {
    setTextFormat(Qt::PlainText);
    setToolTip(PlainText::toolTip(text));
    setMinimumWidth(1);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    setText(fontMetrics().elidedText(m_text, Qt::ElideRight, width()));
  }

 private:
  QString m_text;
};

struct IconLook {
  QString symbol;
  QString description;
  pf::Color tint;
};

IconLook iconLook(ReminderListing::Icon icon) {
  switch (icon) {
    case ReminderListing::Icon::paused:
      return {QStringLiteral("pause.circle"), QStringLiteral("Paused"),
              pf::Color::system(QStringLiteral("secondaryLabelColor"))};
    case ReminderListing::Icon::completed:
      return {QStringLiteral("checkmark.circle.fill"), QStringLiteral("Completed"),
              pf::Color::system(QStringLiteral("systemGreen"))};
    case ReminderListing::Icon::scheduled: break;
  }
  return {QStringLiteral("alarm"), QStringLiteral("Scheduled"), pf::Color::system(QStringLiteral("systemYellow"))};
}

QLabel* elidingLabel(const QString& text, double size, QFont::Weight weight, QWidget* parent) {
  auto* label = new ElidingLabel(text, parent);
  pf::ViewStyle::setFontSize(label, size, weight);
  return label;
}

ReminderGlowButton* glowButton(const QString& title, const QString& symbol, const pf::Color& tint,
                               QWidget* parent, const pf::Rect& frame) {
  auto* button = new ReminderGlowButton(title);
  button->setSymbol(symbol);
  button->setTint(tint);
  DesignFrames::place(button, parent, frame);
  return button;
}

SymbolView* symbol(const QString& name, QWidget* parent, const pf::Rect& frame, const QString& description = {}) {
  auto* view = new SymbolView(name, QuibTheme::accent(), description);
  DesignFrames::place(view, parent, frame);
  return view;
}

}  // namespace

ReminderList::ReminderList(ReminderStore& store, pf::UserDefaults* defaults) : m_store(store) {
  build(defaults);
  setStatusFromStore();
}

ReminderList::~ReminderList() = default;

pf::Window* ReminderList::window() const { return m_glass->window(); }

QWidget* ReminderList::cards() const { return m_cards; }

void ReminderList::build(pf::UserDefaults* defaults) {
  m_glass = std::make_unique<GlassWindow>(QStringLiteral("Wendle Reminders"), baseSize);
  window()->onWillClose = [this] {
    if (onClose) onClose();
  };
  QWidget* glass = m_glass->content();

  symbol(QStringLiteral("calendar"), glass, {22, 494, 38, 46});
  DesignFrames::label(glass, QStringLiteral("Reminders"), {72, 515, 240, 32},
                      {.pixelSize = 25, .color = QuibTheme::text(), .weight = QFont::Bold});
  DesignFrames::label(glass, QStringLiteral("Stay on track with your companion"), {73, 490, 245, 23},
                      {.pixelSize = 13, .color = QuibTheme::secondary()});
  auto* remove = glowButton(QStringLiteral("Delete…"), QStringLiteral("trash"),
                            pf::Color::system(QStringLiteral("systemRed")), glass, {318, 507, 100, 38});
  connect(remove, &QPushButton::clicked, this, &ReminderList::deleteReminder);

  m_scroll = new QScrollArea;
  m_scroll->setFrameShape(QFrame::NoFrame);
  m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_scroll->setWidgetResizable(true);
  m_scroll->viewport()->setAutoFillBackground(false);
  // The column takes the focus and the keys, as a table would; the scroll area follows its selection.
  m_scroll->setFocusPolicy(Qt::NoFocus);
  auto* cards = new CardColumn;
  cards->onKey = [this](int key) { return keyPressed(key); };
  m_cards = cards;
  m_cards->setAccessibleName(QStringLiteral("Saved reminders"));
  auto* column = new QVBoxLayout(m_cards);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(int(rowSpacing));
  column->addStretch();
  m_scroll->setWidget(m_cards);
  // The scroll area paints the widget it is given; the glass must show between the cards.
  m_cards->setAutoFillBackground(false);
  DesignFrames::place(m_scroll, glass, listFrame);

  auto* add = glowButton(QStringLiteral("New…"), QStringLiteral("plus"),
                         pf::Color::system(QStringLiteral("systemGreen")), glass, {22, 101, 125, 42});
  connect(add, &QPushButton::clicked, this, &ReminderList::newReminder);
  auto* edit = glowButton(QStringLiteral("Edit…"), QStringLiteral("pencil"), QuibTheme::accent(), glass,
                          {157, 101, 125, 42});
  connect(edit, &QPushButton::clicked, this, &ReminderList::editReminder);
  m_pauseButton = glowButton(QStringLiteral("Pause"), QStringLiteral("pause.fill"), QuibTheme::accent(), glass,
                             {292, 101, 126, 42});
  connect(m_pauseButton, &QPushButton::clicked, this, &ReminderList::togglePause);

  symbol(QStringLiteral("clock"), glass, {23, 33, 22, 26});
  m_status = DesignFrames::label(glass, QString(), {55, 20, 282, 56},
                                 {.pixelSize = 11, .color = QuibTheme::secondary(), .wraps = true});
  m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  symbol(QStringLiteral("bell.badge"), glass, {348, 13, 70, 76});

  m_glass->arrange({.stretchFrame = listFrame,
                    .readable = false,
                    .key = QStringLiteral("reminders"),
                    .defaults = defaults,
                    .minimum = {368, 570},
                    .initial = baseSize});
}

void ReminderList::present() {
  try {
    m_store.reload();
  } catch (const std::exception& error) {
    m_status->setText(ReminderStore::text(error));
  }
  rebuildCards();
  window()->makeKeyAndOrderFront();
  window()->activateWindow();
}

void ReminderList::refresh() {
  if (window()->isVisible()) rebuildCards();
}

void ReminderList::rebuildCards() {
  const std::optional<QuibReminder> previous = selected();
  m_rows = m_store.file().reminders;
  auto* column = static_cast<QVBoxLayout*>(m_cards->layout());
  for (QWidget* old : m_cards->findChildren<QWidget*>(QStringLiteral("reminderCard"), Qt::FindDirectChildrenOnly))
    delete old;
  for (std::size_t row = 0; row < m_rows.size(); ++row) column->insertWidget(int(row), card(m_rows[row]));

  int row = -1;
  if (previous) {
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                    [&](const QuibReminder& r) { return r.id == previous->id; });
    if (found != m_rows.end()) row = int(found - m_rows.begin());
  }
  m_selectedRow = -1;
  select(row);
  selectionChanged();
  setStatusFromStore();
}

void ReminderList::setStatusFromStore() {
  if (const auto& failure = m_store.failure())
    m_status->setText(*failure);
  else if (!m_rows.empty())
    m_status->setText(QStringLiteral("Local time: ") +
                      QString::fromUtf8(ReminderSchedule::calendar().timeZone().id()) +
                      QStringLiteral(". Wendle checks reminders while open."));
  else
    m_status->setText(QStringLiteral("No reminders yet. Add one with your own message."));
}

void ReminderList::showStatus(const QString& text) { m_status->setText(text); }

QWidget* ReminderList::card(const QuibReminder& reminder) {
  auto* row = new CardRow;
  const int index = int(&reminder - m_rows.data());
  row->onPress = [this, index] { select(index); };
  row->onDoubleClick = [this, index] {
    select(index);
    editReminder();
  };

  auto* name = elidingLabel(reminder.name, 16, QFont::DemiBold, row);
  name->setObjectName(QStringLiteral("name"));
  DesignFrames::setTextColor(name, QuibTheme::text());

  const ReminderListing listing = ReminderListing::of(reminder, m_store.file(), ReminderSchedule::calendar(),
                                                      QLocale(), QDateTime::currentDateTimeUtc());
  auto* detail = elidingLabel(listing.detail, 12, QFont::Normal, row);
  detail->setObjectName(QStringLiteral("detail"));
  DesignFrames::setTextColor(detail, QuibTheme::secondary());

  const IconLook look = iconLook(listing.icon);
  auto* icon = new SymbolView(look.symbol, look.tint, look.description, row);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setGeometry(pf::childFrameToQtPixels({13, 26, 34, 36}, rowHeight));
  icon->setGlow(8, 0.65);
  return row;
}

std::optional<QuibReminder> ReminderList::selected() const {
  if (m_selectedRow < 0 || m_selectedRow >= int(m_rows.size())) return std::nullopt;
  return m_rows[std::size_t(m_selectedRow)];
}

void ReminderList::select(int row) {
  if (row >= int(m_rows.size())) row = -1;
  const auto rows = m_cards->findChildren<CardRow*>(QStringLiteral("reminderCard"), Qt::FindDirectChildrenOnly);
  for (CardRow* card : rows) card->setSelected(false);
  m_selectedRow = row;
  if (auto* card = static_cast<CardRow*>(cardAt(row))) card->setSelected(true);
  selectionChanged();
}

QWidget* ReminderList::cardAt(int row) const {
  if (row < 0) return nullptr;
  return static_cast<QVBoxLayout*>(m_cards->layout())->itemAt(row)->widget();
}

bool ReminderList::keyPressed(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    editReminder();
    return true;
  }
  const int last = int(m_rows.size()) - 1;
  int row = -1;
  switch (key) {
    case Qt::Key_Up: row = std::max(m_selectedRow - 1, 0); break;
    case Qt::Key_Down: row = std::min(m_selectedRow + 1, last); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = last; break;
    default: return false;
  }
  select(row);
  if (QWidget* card = cardAt(m_selectedRow)) m_scroll->ensureWidgetVisible(card, 0, 0);
  return true;
}

void ReminderList::selectionChanged() {
  const auto current = selected();
  m_pauseButton->setText(current && current->paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
  m_pauseButton->update();
}

void ReminderList::newReminder() {
  if (onNew) onNew();
}

void ReminderList::editReminder() {
  if (const auto current = selected(); current && onEdit) onEdit(*current);
}

void ReminderList::togglePause() {
  const auto current = selected();
  if (!current) return;
  try {
    m_store.pause(current->id, !current->paused);
  } catch (const std::exception& error) {
    m_status->setText(ReminderStore::text(error));
    return;
  }
  refresh();
  if (onChange) onChange();
}

void ReminderList::deleteReminder() {
  const auto current = selected();
  if (!current) return;
  auto* alert = new pf::Alert(window());
  alert->setMessageText(QStringLiteral("Delete ") + current->name + QStringLiteral("?"));
  alert->setInformativeText(QStringLiteral("This removes the reminder and its pending occurrences."));
  alert->addButton(QStringLiteral("Cancel"));
  alert->addButton(QStringLiteral("Delete"));
  alert->beginSheet(window(), [list = QPointer<ReminderList>(this), id = current->id](int response) {
    if (!list || response != pf::Alert::firstButtonResponse + 1) return;
    try {
      list->m_store.remove(id);
    } catch (const std::exception& error) {
      list->m_status->setText(ReminderStore::text(error));
      return;
    }
    list->refresh();
    if (list->onChange) list->onChange();
  });
}
