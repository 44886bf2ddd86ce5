#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

using namespace pf;

namespace {

// A 20 x 10 drawing whose left half is red and right half empty.
Image halfRed() {
  return Image({20, 10}, [](QPainter& p, const QRectF& r) {
    p.fillRect(QRectF(r.x(), r.y(), r.width() / 2, r.height()), Qt::red);
  });
}

}  // namespace

TEST(Image, TemplatesTakeTheTintAndLeaveWhatIsBeneath) {
  struct Case {
    const char* name;
    bool isTemplate;
    std::optional<Color> tint;
    QColor drawn;
  };
  const Case cases[] = {
      {"a picture keeps its colours", false, std::nullopt, Qt::red},
      {"a tint does not touch a picture", false, Color::calibratedRGB(0, 1, 0, 1), Qt::red},
      {"a template takes the tint", true, Color::calibratedRGB(0, 1, 0, 1), Qt::green},
  };
  for (const auto& c : cases) {
    Image image = halfRed();
    image.setTemplate(c.isTemplate);
    QImage target(40, 20, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::blue);
    {
      QPainter p(&target);
      image.draw(p, QRectF(0, 0, 40, 20), c.tint);
    }
    EXPECT_EQ(target.pixelColor(5, 10), c.drawn) << c.name;
    EXPECT_EQ(target.pixelColor(35, 10), QColor(Qt::blue)) << c.name;
    const QImage alone = image.rendered(QSize(40, 20), c.tint);
    EXPECT_EQ(alone.pixelColor(5, 10), c.drawn) << c.name;
    EXPECT_EQ(alone.pixelColor(35, 10).alpha(), 0) << c.name;
  }
}

TEST(Image, BitmapsAndFittingKeepProportions) {
  QImage bitmap(40, 20, QImage::Format_ARGB32_Premultiplied);
  bitmap.setDevicePixelRatio(2);
  EXPECT_EQ(Image::fromBitmap(bitmap).size(), (Size{20, 10}));
  EXPECT_EQ(aspectFitted({20, 10}, QRectF(0, 0, 100, 100)), QRectF(0, 25, 100, 50));
  EXPECT_EQ(aspectFitted({10, 20}, QRectF(0, 0, 100, 100)), QRectF(25, 0, 50, 100));
  EXPECT_TRUE(aspectFitted({0, 10}, QRectF(0, 0, 100, 100)).isEmpty());
  EXPECT_EQ(aspectFitted({100, 0.5}, QRectF(0, 0, 100, 100)), QRectF(0, 49.75, 100, 0.5));  // a hairline stays
  EXPECT_TRUE(Image().rendered(QSize(4, 4)).pixelColor(1, 1).alpha() == 0);
}

TEST(Image, FilesGiveTheirPictureAtTheirSize) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  };
  QImage picture(30, 12, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("red.png"))));
  struct Case {
    const char* name;
    QString path;
    std::optional<Size> size;
  };
  const Case cases[] = {
      {"a bitmap", folder.filePath(QStringLiteral("red.png")), Size{30, 12}},
      {"a drawing", write(QStringLiteral("box.svg"), R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 8"/>)"),
       Size{16, 8}},
      {"no file", folder.filePath(QStringLiteral("missing.png")), std::nullopt},
      {"a folder", folder.path(), std::nullopt},
      {"a damaged bitmap", write(QStringLiteral("broken.png"), "not a picture"), std::nullopt},
      {"a damaged drawing", write(QStringLiteral("broken.svg"), "<svg"), std::nullopt},
  };
  for (const auto& c : cases) {
    const auto image = Image::fromFile(c.path);
    ASSERT_EQ(image.has_value(), c.size.has_value()) << c.name;
    if (image) {
      EXPECT_EQ(image->size(), *c.size) << c.name;
    }
  }
  EXPECT_EQ(Image::fromFile(folder.filePath(QStringLiteral("red.png")))->rendered(QSize(30, 12)).pixelColor(15, 6),
            QColor(Qt::red));
}
