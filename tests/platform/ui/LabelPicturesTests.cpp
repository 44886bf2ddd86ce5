#include "platform/ui/LabelPictures.h"
#include "support/LogCapture.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A label that counts how often it draws itself.
class CountingLabel final : public QLabel {
 public:
  using QLabel::QLabel;
  int draws = 0;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++draws;
    QLabel::paintEvent(event);
  }
};

// The same label drawn by Qt alone, in a view of its own, for comparison.
QImage drawnAlone(const QLabel& like) {
  QWidget plain;
  plain.resize(like.parentWidget()->size());
  auto* twin = new QLabel(like.text(), &plain);
  twin->setFont(like.font());
  twin->setWordWrap(like.wordWrap());
  twin->setTextInteractionFlags(like.textInteractionFlags());
  twin->setGeometry(like.geometry());
  return twin->grab().toImage();
}

}  // namespace

TEST(LabelPictures, ALabelDrawsItsTextOnceUntilWhatItDrawsFromChanges) {
  const test::LogCapture log;
  QWidget view;
  view.resize(300, 200);
  auto* before = new CountingLabel(QStringLiteral("Kept before watching"), &view);
  before->setGeometry(10, 10, 200, 30);
  pf::LabelPictures::watch(&view);
  pf::LabelPictures::watch(&view);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  // Added later, under a container added later too.
  auto* box = new QWidget(&view);
  box->setGeometry(0, 50, 300, 150);
  auto* later = new CountingLabel(QStringLiteral("Added later, wrapping its words"), box);
  later->setWordWrap(true);
  later->setGeometry(10, 10, 120, 60);
  auto* selectable = new CountingLabel(QStringLiteral("Selectable"), box);
  selectable->setTextInteractionFlags(Qt::TextSelectableByMouse);
  selectable->setGeometry(10, 80, 120, 30);
  box->show();
  QCoreApplication::processEvents();

  for (CountingLabel* label : {before, later, selectable}) {
    SCOPED_TRACE(label->text().toStdString());
    const int first = label->draws;
    for (int i = 0; i < 3; ++i) label->repaint();
    const bool kept = label != selectable;
    EXPECT_EQ(label->draws - first, kept ? 0 : 3);
    EXPECT_EQ(label->grab().toImage(), drawnAlone(*label));
    label->setText(label->text() + QStringLiteral("!"));
    for (int i = 0; i < 3; ++i) label->repaint();
    if (kept) {
      EXPECT_EQ(label->draws - first, 1);
    } else {
      EXPECT_GE(label->draws - first, 6);
    }
    EXPECT_EQ(label->grab().toImage(), drawnAlone(*label));
    label->resize(label->width() + 10, label->height());
    EXPECT_EQ(label->grab().toImage(), drawnAlone(*label));
  }
  // Drawing its picture within its own paint is no repaint begun within another.
  EXPECT_FALSE(log.text().contains(QStringLiteral("Recursive repaint")));
}
