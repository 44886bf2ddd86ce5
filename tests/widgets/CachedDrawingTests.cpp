#include "widgets/CachedDrawing.h"
#include "platform/core/UserDefaults.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QColor untouched(10, 20, 30);

/// Each pixel of the picture tells where it is, so a copy from the wrong place shows.
void drawGradient(QPainter& painter) {
  for (int x = 0; x < 40; ++x) painter.fillRect(QRectF(x, 0, 1, 30), QColor(x * 6, 0, 0));
  painter.fillRect(QRectF(0, 10, 40, 1), Qt::green);
}

}  // namespace

// A repaint copies the kept picture exactly within the repainted region, rect
// by rect, and touches nothing outside it, at any pixel ratio.
TEST(CachedDrawing, CopiesThePictureWithinTheRegionOnly) {
  pf::UserDefaults::resetAll();
  struct Case {
    const char* name;
    QRegion region;
    double ratio;
  };
  const QRegion band = QRegion(0, 0, 40, 30) - QRegion(5, 5, 30, 20);
  for (const Case& c : {Case{"whole", QRegion(0, 0, 40, 30), 1}, Case{"band", band, 1}, Case{"band at 2x", band, 2},
                        Case{"scattered", QRegion(3, 2, 4, 4) + QRect(20, 8, 9, 3) + QRect(33, 25, 7, 5), 1}}) {
    CachedDrawing drawing;
    QImage target(QSize(40, 30) * c.ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(c.ratio);
    target.fill(untouched);
    {
      QPainter painter(&target);
      drawing.paint(painter, c.region, QSize(40, 30), 0, drawGradient);
    }
    for (int y = 0; y < target.height(); ++y) {
      for (int x = 0; x < target.width(); ++x) {
        const QPoint point(static_cast<int>(x / c.ratio), static_cast<int>(y / c.ratio));
        const QColor expected = !c.region.contains(point) ? untouched
                                : point.y() == 10         ? QColor(Qt::green)
                                                          : QColor(point.x() * 6, 0, 0);
        ASSERT_EQ(target.pixelColor(x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
  pf::UserDefaults::resetAll();
}

// The picture is drawn again exactly when something it is drawn from changed,
// and drawings sharing a name draw one picture for the same inputs.
TEST(CachedDrawing, DrawsAgainOnlyWhenAnInputChanges) {
  pf::UserDefaults::resetAll();
  CachedDrawing drawing("CachedDrawingTests.shared");
  int draws = 0;
  const auto paint = [&](CachedDrawing& d, QSize size, int state, double ratio, QColor backdrop = Qt::transparent) {
    QImage target(QSize(60, 60) * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    QPainter painter(&target);
    return d.paint(
        painter, QRegion(0, 0, 60, 60), size, state, [&](QPainter&) { ++draws; }, backdrop);
  };
  struct Step {
    const char* what;
    std::function<bool()> paint;
    bool changed;
  };
  const QSize size(40, 30);
  for (const Step& step : std::initializer_list<Step>{
           {"first", [&] { return paint(drawing, size, 0, 1); }, true},
           {"again", [&] { return paint(drawing, size, 0, 1); }, false},
           {"state", [&] { return paint(drawing, size, 1, 1); }, true},
           {"size", [&] { return paint(drawing, QSize(41, 30), 1, 1); }, true},
           {"ratio", [&] { return paint(drawing, QSize(41, 30), 1, 2); }, true},
           {"skin",
            [&] {
              pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QStringLiteral("steampunk"));
              return paint(drawing, QSize(41, 30), 1, 2);
            },
            true},
           {"same again", [&] { return paint(drawing, QSize(41, 30), 1, 2); }, false},
           {"backdrop", [&] { return paint(drawing, QSize(41, 30), 1, 2, Qt::darkGray); }, true},
           {"backdrop again", [&] { return paint(drawing, QSize(41, 30), 1, 2, Qt::darkGray); }, false},
           {"no backdrop", [&] { return paint(drawing, QSize(41, 30), 1, 2); }, true}}) {
    const int before = draws;
    EXPECT_EQ(step.paint(), step.changed) << step.what;
    EXPECT_EQ(draws - before, step.changed ? 1 : 0) << step.what;
  }
  CachedDrawing sibling("CachedDrawingTests.shared");
  CachedDrawing own;
  const int before = draws;
  EXPECT_TRUE(paint(sibling, QSize(41, 30), 1, 2));
  EXPECT_EQ(draws, before);
  EXPECT_TRUE(paint(own, QSize(41, 30), 1, 2));
  EXPECT_EQ(draws, before + 1);
  pf::UserDefaults::resetAll();
}
