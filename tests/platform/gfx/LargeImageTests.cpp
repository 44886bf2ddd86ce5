#include "platform/gfx/LargeImage.h"

#include <QPainter>
#include <gtest/gtest.h>

// Only an image spanning at least half a large page is placed on them; either way it is an
// ordinary image: its size and rows, drawn on, copied on write, and its
// memory freed with its last copy.
TEST(LargeImage, IsAnOrdinaryImageOnLargePagesFromOneMegabyte) {
  constexpr quintptr largePage = quintptr{2} << 20;
  struct Case {
    QSize size;
    QImage::Format format;
    bool large;
  };
  for (const Case& c : {Case{{10, 10}, QImage::Format_ARGB32_Premultiplied, false},
                        Case{{512, 511}, QImage::Format_ARGB32_Premultiplied, false},  // just under 1 MB
                        Case{{512, 512}, QImage::Format_ARGB32_Premultiplied, true},   // 1 MB
                        Case{{1601, 1200}, QImage::Format_RGB888, true},               // rows padded to 4 bytes
                        Case{{0, 5000}, QImage::Format_ARGB32_Premultiplied, false}}) {
    QImage image = pf::largeImage(c.size, c.format);
    if (c.size.isEmpty()) {
      EXPECT_TRUE(image.isNull());
      continue;
    }
    ASSERT_EQ(image.size(), c.size) << c.size.width();
    EXPECT_EQ(image.format(), c.format);
    EXPECT_EQ(image.bytesPerLine(), QImage(c.size, c.format).bytesPerLine()) << c.size.width();
    EXPECT_EQ(reinterpret_cast<quintptr>(image.constBits()) % largePage == 0, c.large) << c.size.width();
    image.fill(Qt::blue);
    {
      QPainter painter(&image);
      painter.fillRect(QRect(QPoint(c.size.width() - 3, c.size.height() - 3), QSize(3, 3)), Qt::red);
    }
    const QImage copy = image;
    image.fill(Qt::green);
    EXPECT_EQ(copy.pixelColor(0, 0), QColor(Qt::blue)) << c.size.width();
    EXPECT_EQ(copy.pixelColor(c.size.width() - 1, c.size.height() - 1), QColor(Qt::red)) << c.size.width();
    EXPECT_EQ(image.pixelColor(c.size.width() - 1, c.size.height() - 1), QColor(Qt::green)) << c.size.width();
  }
}
