#include "platform/core/QtGeometry.h"
#include "reminders/ReminderSupport.h"
#include "reminders/ui/ReminderBubble.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

QuibReminder saying(const QString& message, bool withShortcut) {
  QuibReminder reminder = test::reminder();
  reminder.name = QStringLiteral("Tea");
  reminder.message = message;
  if (withShortcut) reminder.actionID = QStringLiteral("kettle");
  return reminder;
}

/// A control's frame in its glass card, y up.
pf::Rect frameOf(const QWidget* control) {
  return pf::childFrameToYUp(QRectF(control->geometry()), control->parentWidget()->height());
}

QString longMessage() { return QStringLiteral("A long story about tea. ").repeated(60); }

}  // namespace

TEST(ReminderBubble, IsSizedFromItsMessageAndShortcut) {
  struct Case {
    const char* name;
    QString message;
    bool withShortcut;
    double messageY, messageHeight, bubbleHeight;
  };
  const Case cases[] = {
      {"one line, no shortcut", QStringLiteral("Time for tea."), false, 72, 44, 182},
      {"one line with a shortcut", QStringLiteral("Time for tea."), true, 114, 44, 224},
      {"long text scrolls at 200", longMessage(), true, 114, 200, 380},
      {"empty message keeps one line", QString(), false, 72, 44, 182},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReminderBubble bubble;
    bubble.display(saying(c.message, c.withShortcut), false);
    EXPECT_EQ(bubble.view()->size(), QSize(390, int(c.bubbleHeight)));
    EXPECT_EQ(frameOf(bubble.message()), pf::Rect(20, c.messageY, 350, c.messageHeight));
    EXPECT_EQ(frameOf(bubble.titleField()), pf::Rect(20, c.messageY + c.messageHeight + 12, 350, 24));
    EXPECT_EQ(frameOf(bubble.doneButton()), pf::Rect(220, 28, 150, 32));
    EXPECT_EQ(frameOf(bubble.status()), pf::Rect(20, 3, 350, 25));
    EXPECT_TRUE(bubble.status()->wordWrap());
    EXPECT_EQ(bubble.actionButton()->isHidden(), !c.withShortcut);
    EXPECT_EQ(bubble.message()->toPlainText(), c.message);
  }
}

TEST(ReminderBubble, ShowsAReminderOrItsPreview) {
  struct Case {
    bool preview;
    QString title, done, status;
    bool snoozeShown, actionEnabled;
  };
  const Case cases[] = {
      {false, QStringLiteral("Tea"), QStringLiteral("Done"), QString(), true, true},
      {true, QStringLiteral("Preview · Tea"), QStringLiteral("Close Preview"),
       QStringLiteral("Nothing saved or scheduled."), false, false},
  };
  ReminderBubble bubble;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preview);
    QuibReminder reminder = saying(QStringLiteral("Time for tea."), true);
    bubble.display(reminder, c.preview);
    EXPECT_EQ(bubble.titleField()->text(), c.title);
    EXPECT_EQ(bubble.doneButton()->text(), c.done);
    EXPECT_EQ(bubble.status()->text(), c.status);
    EXPECT_EQ(!bubble.snooze()->isHidden(), c.snoozeShown);
    EXPECT_EQ(bubble.actionButton()->isEnabled(), c.actionEnabled);
    EXPECT_EQ(bubble.actionButton()->text(), QStringLiteral("Open saved shortcut"));
    EXPECT_EQ(bubble.isPreview(), c.preview);
  }
  QuibReminder labelled = saying(QStringLiteral("Time for tea."), true);
  labelled.actionLabel = QStringLiteral("Kettle");
  bubble.display(labelled, false);
  EXPECT_EQ(bubble.actionButton()->text(), QStringLiteral("Open Kettle"));
}

TEST(ReminderBubble, ButtonsAndSnoozeChoicesReachTheOwner) {
  ReminderBubble bubble;
  bubble.display(saying(QStringLiteral("Time for tea."), true), false);
  bubble.view()->show();
  std::vector<QString> heard;
  bubble.onDone = [&] { heard.push_back(QStringLiteral("done")); };
  bubble.onAction = [&] { heard.push_back(QStringLiteral("action")); };
  bubble.onSnooze = [&](double seconds) { heard.push_back(QString::number(seconds)); };

  QTest::mouseClick(bubble.doneButton(), Qt::LeftButton);
  QTest::mouseClick(bubble.actionButton(), Qt::LeftButton);
  // Down picks "5 minutes", typing "1" the first title starting so, "15 minutes", End "1 hour".
  QTest::keyClick(bubble.snooze(), Qt::Key_Down);
  EXPECT_EQ(bubble.snooze()->currentText(), QStringLiteral("Snooze…"));
  QTest::keyClicks(bubble.snooze(), QStringLiteral("1"));
  EXPECT_EQ(bubble.snooze()->currentIndex(), 0);
  QTest::keyClick(bubble.snooze(), Qt::Key_End);
  EXPECT_EQ(bubble.snooze()->currentIndex(), 0);
  // The resting "Snooze…" is never acted on.
  bubble.snoozeChanged();
  const std::vector<QString> expected{QStringLiteral("done"), QStringLiteral("action"), QStringLiteral("300"),
                                      QStringLiteral("900"), QStringLiteral("3600")};
  EXPECT_EQ(heard, expected);
}

TEST(ReminderBubble, ADisplayAfterAResizeStartsFromTheBaseFrames) {
  ReminderBubble bubble;
  bubble.display(saying(QStringLiteral("Time for tea."), false), false);
  bubble.view()->show();
  bubble.view()->resize(600, 400);
  QCoreApplication::processEvents();
  ASSERT_GT(bubble.message()->height(), 44);
  bubble.display(saying(QStringLiteral("Time for coffee."), true), false);
  EXPECT_EQ(bubble.view()->size(), QSize(390, 224));
  EXPECT_EQ(frameOf(bubble.message()), pf::Rect(20, 114, 350, 44));
  EXPECT_EQ(frameOf(bubble.titleField()), pf::Rect(20, 170, 350, 24));
  // The stretch follows the new message area.
  bubble.view()->resize(390, 324);
  QCoreApplication::processEvents();
  EXPECT_EQ(frameOf(bubble.message()), pf::Rect(20, 114, 350, 144));
}

TEST(ReminderBubble, EveryMessageStartsAtItsTop) {
  ReminderBubble bubble;
  bubble.display(saying(longMessage(), false), false);
  bubble.view()->show();
  QScrollBar* scroller = bubble.message()->verticalScrollBar();
  ASSERT_GT(scroller->maximum(), 0);
  scroller->setValue(scroller->maximum());
  bubble.display(saying(longMessage() + QStringLiteral("Again."), false), false);
  EXPECT_EQ(scroller->value(), 0);
}

TEST(ReminderBubble, AMessageOfAFewLinesFitsWithoutScrolling) {
  const struct {
    const char* name;
    QString message;
  } cases[] = {
      {"lines", QStringLiteral("Kettle on.\nCups out.\nBiscuits.\nSit down.")},
      // Too long for one line, so the view breaks it inside the word.
      {"a web address", QStringLiteral("https://tea.example/") + QStringLiteral("steepforfourminutes").repeated(12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReminderBubble bubble;
    bubble.display(saying(c.message, false), false);
    bubble.view()->show();
    QCoreApplication::processEvents();
    EXPECT_GT(bubble.message()->height(), 44);
    EXPECT_LT(bubble.message()->height(), 200);
    EXPECT_EQ(bubble.message()->verticalScrollBar()->maximum(), 0);
  }
}

TEST(ReminderBubble, TheTailPointsDownFromTheLowerLeft) {
  ReminderBubble bubble;
  bubble.display(saying(QStringLiteral("Time for tea."), false), false);
  const QImage image = bubble.view()->grab().toImage();
  const int bottom = image.height() - 1;
  struct Case {
    QPoint at;
    bool tail;
  };
  const Case cases[] = {{{62, bottom - 2}, true}, {{50, bottom - 11}, true}, {{30, bottom - 6}, false},
                        {{90, bottom - 6}, false}, {{110, bottom - 2}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
    const QColor pixel = image.pixelColor(c.at);
    EXPECT_EQ(pixel.alpha() > 200 && pixel.blue() < 60, c.tail);
  }
}
