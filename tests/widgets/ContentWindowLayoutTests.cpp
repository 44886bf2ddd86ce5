#include "widgets/ContentWindowLayout.h"
#include "platform/core/QtGeometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using pf::Rect;

namespace {

// A 400 x 300 view built the way window controllers build theirs: subviews at
// y-up base frames.
struct Fixture {
  QWidget view;
  QWidget* background = nullptr;
  QLabel* heading = nullptr;
  QTableWidget* list = nullptr;
  QPushButton* button = nullptr;
  const Rect stretch{20, 60, 360, 180};

  Fixture() {
    view.resize(400, 300);
    background = place(new QWidget(&view), Rect(0, 0, 400, 300));
    heading = place(new QLabel(QStringLiteral("Heading"), &view), Rect(20, 260, 100, 20));
    list = place(new QTableWidget(3, 2, &view), stretch);
    button = place(new QPushButton(QStringLiteral("Add"), &view), Rect(20, 20, 80, 30));
    view.show();
  }

  template <class W>
  W* place(W* widget, const Rect& frame) {
    widget->setGeometry(pf::roundedRect(pf::childFrameToQt(frame, 300)));
    return widget;
  }

  Rect frameOf(const QWidget* w) const {
    return pf::childFrameToYUp(QRectF(w->geometry()), view.height());
  }
};

}  // namespace

TEST(ContentWindowLayout, ScalesWidthsAndGivesTheExtraHeightToTheStretchArea) {
  Fixture f;
  ContentWindowLayout layout(&f.view, f.stretch, false);
  int passes = 0;
  layout.onLayout = [&] { ++passes; };
  f.view.resize(800, 400);
  EXPECT_EQ(passes, 1);
  EXPECT_EQ(f.frameOf(f.background), Rect(0, 0, 800, 400));
  EXPECT_EQ(f.frameOf(f.heading), Rect(40, 360, 200, 20));
  EXPECT_EQ(f.frameOf(f.list), Rect(40, 60, 720, 280));
  EXPECT_EQ(f.frameOf(f.button), Rect(40, 20, 160, 30));
  // The table's last column takes what the first leaves.
  const QHeaderView* header = f.list->horizontalHeader();
  EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1), f.list->viewport()->width());

  f.view.resize(400, 250);
  EXPECT_EQ(f.frameOf(f.list), Rect(20, 60, 360, 180));
  EXPECT_EQ(f.frameOf(f.heading), Rect(20, 210, 100, 20));
}

// Two lists side by side, the stretch area over the left one only (as the
// shortcut editor lays out its Active and Not Active lists).
TEST(ContentWindowLayout, AListBesideTheStretchAreaGrowsWithItButABareTextViewDoesNot) {
  Fixture f;
  f.place(f.list, Rect(20, 60, 170, 180));
  auto* second = f.place(new QTableWidget(3, 1, &f.view), Rect(210, 60, 170, 180));
  auto* note = f.place(new QPlainTextEdit(&f.view), Rect(210, 20, 170, 30));
  note->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ContentWindowLayout layout(&f.view, Rect(20, 60, 170, 180), false);
  f.view.resize(400, 400);
  EXPECT_EQ(f.frameOf(f.list), Rect(20, 60, 170, 280));
  EXPECT_EQ(f.frameOf(second), Rect(210, 60, 170, 280));
  EXPECT_EQ(f.frameOf(note), Rect(210, 20, 170, 30));
}

TEST(ContentWindowLayout, WithoutAStretchAreaViewsKeepTheirDistanceFromTheBottom) {
  Fixture f;
  ContentWindowLayout layout(&f.view, std::nullopt, false);
  f.view.resize(400, 500);
  EXPECT_EQ(f.frameOf(f.heading), Rect(20, 260, 100, 20));
  EXPECT_EQ(f.frameOf(f.list), Rect(20, 60, 360, 180));
  EXPECT_EQ(f.frameOf(f.background), Rect(0, 0, 400, 500));
}

TEST(ContentWindowLayout, RestoresTheBaseFrames) {
  Fixture f;
  ContentWindowLayout layout(&f.view, f.stretch, false);
  f.view.resize(600, 450);
  layout.restoreBaseFrames();
  EXPECT_EQ(f.frameOf(f.heading), Rect(20, 260, 100, 20));
  EXPECT_EQ(f.frameOf(f.list), f.stretch);
  EXPECT_EQ(f.frameOf(f.button), Rect(20, 20, 80, 30));
  EXPECT_EQ(f.frameOf(f.background), Rect(0, 0, 400, 300));
}

TEST(ContentWindowLayout, ReadableEnlargesControlsButNotSlidersOrScrollingText) {
  QWidget view;
  view.resize(300, 200);
  auto pixels = [](QWidget* w, int size) {
    QFont font = w->font();
    font.setPixelSize(size);
    w->setFont(font);
    return w;
  };
  QWidget* small = pixels(new QLabel(QStringLiteral("small"), &view), 11);
  QWidget* large = pixels(new QPushButton(QStringLiteral("large"), &view), 14);
  QWidget* slider = pixels(new QSlider(&view), 11);
  auto* group = new QWidget(&view);
  QWidget* nested = pixels(new QLineEdit(group), 12);
  auto* scroll = new QScrollArea(&view);
  auto* inside = new QWidget;
  QWidget* scrolled = pixels(new QLabel(QStringLiteral("inside"), inside), 11);
  scroll->setWidget(inside);
  QWidget* scrollingText = pixels(new QPlainTextEdit(&view), 12);
  auto* bareText = new QPlainTextEdit(&view);
  bareText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  bareText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pixels(bareText, 12);

  ContentWindowLayout layout(&view, std::nullopt);
  EXPECT_EQ(small->font().pixelSize(), 13);
  EXPECT_EQ(large->font().pixelSize(), 15);
  EXPECT_EQ(nested->font().pixelSize(), 13);
  EXPECT_EQ(slider->font().pixelSize(), 11);
  EXPECT_EQ(scrolled->font().pixelSize(), 11);
  EXPECT_EQ(scrollingText->font().pixelSize(), 12);
  EXPECT_EQ(bareText->font().pixelSize(), 13);
}
