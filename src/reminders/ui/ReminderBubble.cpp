#include "reminders/ui/ReminderBubble.h"

#include "look/QuibTheme.h"
#include "platform/core/Color.h"
#include "platform/ui/ViewStyle.h"
#include "widgets/DesignFrames.h"
#include "reminders/ui/PlainText.h"
#include "widgets/ContentWindowLayout.h"
#include "widgets/GlassSurface.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

namespace {

constexpr double bubbleWidth = 390;
constexpr double tailHeight = 12;
constexpr double messageFontSize = 17;
constexpr double messageTextWidth = 326;
constexpr double minimumMessageHeight = 44;
constexpr double maximumMessageHeight = 200;

/// The bubble's card with the tail below it. The card is a glass surface
/// that fills all but the lowest strip, where the tail points down at the
/// companion; the tail keeps its dark colour whatever the theme.
class SpeechSurface final : public QWidget {
 public:
  SpeechSurface() : m_glass(new GlassSurface(this)) { resize(int(bubbleWidth), 320); }

  GlassSurface* glass() const { return m_glass; }

  /// Sets the glass to its place now; a hidden widget hears of its new size only when shown.
  void fitGlass() { m_glass->setGeometry(0, 0, QWidget::width(), std::max(0, height() - int(tailHeight))); }

 protected:
  void resizeEvent(QResizeEvent*) override { fitGlass(); }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double bottom = height();
    QPainterPath tail;
    tail.moveTo(45, bottom - 14);
    tail.lineTo(62, bottom);
    tail.lineTo(79, bottom - 14);
    tail.closeSubpath();
    painter.fillPath(tail, QColor::fromRgbF(0.025f, 0.045f, 0.12f, 0.95f));
  }

 private:
  GlassSurface* m_glass;
};

}  // namespace

ReminderBubble::ReminderBubble() { build(); }

ReminderBubble::~ReminderBubble() {
  m_contentLayout.reset();
  if (m_surface && !m_surface->parent()) delete m_surface;
}

QWidget* ReminderBubble::view() const { return m_surface; }

void ReminderBubble::build() {
  auto* surface = new SpeechSurface;
  m_surface = surface;
  m_glass = surface->glass();
  surface->fitGlass();

  m_titleField = DesignFrames::label(m_glass, {}, {20, 268, 350, 24}, {.pixelSize = 15});
  pf::ViewStyle::setFontSize(m_titleField, 15, QFont::DemiBold);

  m_message = new QTextEdit;
  m_message->setReadOnly(true);
  m_message->setAcceptRichText(false);
  m_message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  m_message->setFrameShape(QFrame::NoFrame);
  m_message->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_message->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_message->setLineWrapMode(QTextEdit::WidgetWidth);
  m_message->viewport()->setAutoFillBackground(false);
  m_message->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
  m_message->setAccessibleName(QStringLiteral("Reminder message"));
  pf::ViewStyle::setFontSize(m_message, messageFontSize);
  DesignFrames::setTextColor(m_message, QuibTheme::text());
  DesignFrames::place(m_message, m_glass, {20, 107, 350, 151});

  m_actionButton = new QPushButton;
  DesignFrames::place(m_actionButton, m_glass, {18, 66, 354, 32});
  connect(m_actionButton, &QPushButton::clicked, this, [this] { openAction(); });

  m_snooze = new QComboBox;
  m_snooze->addItems({QStringLiteral("Snooze…"), QStringLiteral("5 minutes"), QStringLiteral("15 minutes"),
                      QStringLiteral("1 hour")});
  m_snooze->setAccessibleName(QStringLiteral("Snooze reminder"));
  DesignFrames::place(m_snooze, m_glass, {18, 25, 180, 32});
  connect(m_snooze, &QComboBox::activated, this, [this] { snoozeChanged(); });

  m_doneButton = new QPushButton(QStringLiteral("Done"));
  DesignFrames::place(m_doneButton, m_glass, {220, 25, 150, 32});
  connect(m_doneButton, &QPushButton::clicked, this, [this] { done(); });

  const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
  m_status = DesignFrames::label(m_glass, {}, {20, 0, 350, 25}, {.pixelSize = 10, .color = orange, .wraps = true});

  connect(new QShortcut(QKeySequence(Qt::Key_Escape), m_surface), &QShortcut::activated, this, [this] {
    if (onEscape) onEscape();
  });
}

void ReminderBubble::display(const QuibReminder& reminder, bool preview) {
  if (m_contentLayout) m_contentLayout->restoreBaseFrames();
  m_contentLayout.reset();
  m_preview = preview;
  m_titleField->setText(preview ? QStringLiteral("Preview · ") + reminder.name : reminder.name);
  m_message->setPlainText(reminder.message);
  m_message->verticalScrollBar()->setValue(0);
  m_actionButton->setText(PlainText::buttonTitle(QStringLiteral("Open ") +
                                                   reminder.actionLabel.value_or(QStringLiteral("saved shortcut"))));
  m_actionButton->setVisible(reminder.actionID.has_value());
  m_actionButton->setEnabled(!preview);
  m_snooze->setVisible(!preview);
  m_snooze->setCurrentIndex(0);
  m_doneButton->setText(preview ? QStringLiteral("Close Preview") : QStringLiteral("Done"));
  m_status->setText(preview ? QStringLiteral("Nothing saved or scheduled.") : QString());
  layOut(reminder);
}

// Measured as the message view wraps it: at word boundaries where it can and
// anywhere within a word too long for a line, such as a web address.
double ReminderBubble::messageHeight() const {
  const std::unique_ptr<QTextDocument> text(m_message->document()->clone());
  text->setDocumentMargin(0);
  text->setTextWidth(messageTextWidth);
  return std::clamp(std::ceil(text->size().height()) + 8, minimumMessageHeight, maximumMessageHeight);
}

// Sized from the bottom up: the message takes the height its text needs,
// the title sits above it, and the bubble ends a little above the title.
void ReminderBubble::layOut(const QuibReminder& reminder) {
  const double height = messageHeight();
  const double y = reminder.actionID ? 114 : 72;
  const pf::Rect messageFrame{20, y, 350, height};
  const double titleY = y + height + 12;
  m_surface->resize(int(bubbleWidth), int(titleY + 24 + 30));
  static_cast<SpeechSurface*>(m_surface.data())->fitGlass();
  DesignFrames::place(m_message, m_glass, messageFrame);
  DesignFrames::place(m_titleField, m_glass, {20, titleY, 350, 24});
  DesignFrames::place(m_actionButton, m_glass, {18, 72, 354, 32});
  DesignFrames::place(m_snooze, m_glass, {18, 28, 180, 32});
  DesignFrames::place(m_doneButton, m_glass, {220, 28, 150, 32});
  DesignFrames::place(m_status, m_glass, {20, 3, 350, 25});
  m_contentLayout = std::make_unique<ContentWindowLayout>(m_glass, messageFrame, false);
}

void ReminderBubble::openAction() {
  if (onAction) onAction();
}

void ReminderBubble::done() {
  if (onDone) onDone();
}

void ReminderBubble::snoozeChanged() {
  const int index = m_snooze->currentIndex();
  m_snooze->setCurrentIndex(0);
  if (index >= 1 && index <= 3 && onSnooze) onSnooze(snoozeSeconds[index - 1]);
}
