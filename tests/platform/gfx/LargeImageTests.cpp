#include "platform/gfx/LargeImage.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

// Only an image spanning at least half a large page is placed on pages of its
// own; a smaller one asked for on shared pages lies on a run of small pages
// within large ones. Either way it is an ordinary image: its size and rows,
// drawn on, copied on write, its memory freed with its last copy and shared
// with no image alive beside it.
TEST(LargeImage, IsAnOrdinaryImageOnLargePagesFromOneMegabyte) {
  constexpr quintptr largePage = quintptr{2} << 20;
  constexpr quintptr smallPage = 4096;
  struct Case {
    QSize size;
    QImage::Format format;
    bool shared;         // asked for on shared pages
    quintptr alignment;  // of its first row; 0: any
  };
  const std::vector<Case> cases{
      {{10, 10}, QImage::Format_ARGB32_Premultiplied, false, 0},
      {{512, 511}, QImage::Format_ARGB32_Premultiplied, false, 0},  // just under 1 MB
      {{512, 512}, QImage::Format_ARGB32_Premultiplied, false, largePage},  // 1 MB
      {{1601, 1200}, QImage::Format_RGB888, false, largePage},              // rows padded to 4 bytes
      {{0, 5000}, QImage::Format_ARGB32_Premultiplied, false, 0},
      {{10, 10}, QImage::Format_ARGB32_Premultiplied, true, smallPage},
      {{10, 10}, QImage::Format_ARGB32_Premultiplied, true, smallPage},
      {{300, 200}, QImage::Format_RGB888, true, smallPage},
      {{512, 511}, QImage::Format_ARGB32_Premultiplied, true, smallPage},
      {{512, 512}, QImage::Format_ARGB32_Premultiplied, true, largePage},
  };
  std::vector<QImage> alive;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    alive.push_back(c.shared ? pf::sharedPagesImage(c.size, c.format) : pf::largeImage(c.size, c.format));
    QImage& image = alive.back();
    if (c.size.isEmpty()) {
      EXPECT_TRUE(image.isNull());
      continue;
    }
    ASSERT_EQ(image.size(), c.size) << i;
    EXPECT_EQ(image.format(), c.format);
    EXPECT_EQ(image.bytesPerLine(), QImage(c.size, c.format).bytesPerLine()) << i;
    const auto at = reinterpret_cast<quintptr>(image.constBits());
    EXPECT_EQ(c.alignment == 0 ? 0U : at % c.alignment, 0U) << i;
    image.fill(Qt::blue);
    {
      QPainter painter(&image);
      painter.fillRect(QRect(QPoint(c.size.width() - 3, c.size.height() - 3), QSize(3, 3)), Qt::red);
    }
    const QImage copy = image;
    image.fill(Qt::green);
    EXPECT_EQ(copy.pixelColor(0, 0), QColor(Qt::blue)) << i;
    EXPECT_EQ(copy.pixelColor(c.size.width() - 1, c.size.height() - 1), QColor(Qt::red)) << i;
    EXPECT_EQ(image.pixelColor(c.size.width() - 1, c.size.height() - 1), QColor(Qt::green)) << i;
    image.fill(QColor(static_cast<int>(i + 1), 0, 0));
  }
  for (std::size_t i = 0; i < alive.size(); ++i) {
    if (alive[i].isNull()) continue;
    EXPECT_EQ(alive[i].pixelColor(0, 0).red(), static_cast<int>(i + 1)) << i;
    EXPECT_EQ(alive[i].pixelColor(alive[i].width() - 1, alive[i].height() - 1).red(), static_cast<int>(i + 1)) << i;
  }
}

// Images on shared pages come and go in any order: letting go of one frees
// its run only, never the large page others still lie on, and a run freed is
// taken again without reaching into a neighbour's.
TEST(LargeImage, SharedPagesOutliveEveryImageButTheLast) {
  const auto shared = [](int height, int red) {
    QImage image = pf::sharedPagesImage(QSize(64, height), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(red, 0, 0));
    return image;
  };
  QImage first = shared(64, 1);
  const QImage kept = shared(64, 2);
  first = QImage();
  std::vector<QImage> later;
  for (int i = 0; i < 8; ++i) later.push_back(shared(32 + 32 * i, 10 + i));
  EXPECT_EQ(kept.pixelColor(0, 0).red(), 2);
  EXPECT_EQ(kept.pixelColor(63, 63).red(), 2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(later[static_cast<std::size_t>(i)].pixelColor(63, 31).red(), 10 + i) << i;
}
