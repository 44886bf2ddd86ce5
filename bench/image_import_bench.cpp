// Peak memory and time of importing a button image from a 100-megapixel
// picture of each kind. One process makes the picture, another imports it,
// so the importer's peak can be measured alone:
//   image_import_bench make png16 /tmp/big.png
//   /usr/bin/time -v image_import_bench import /tmp/big.png
#include "shortcuts/ShortcutImageStore.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>
#include <cstring>

namespace {

/// A smooth picture that compresses well, so 100 megapixels fit in 25 MB.
QImage gradient(QSize size, QImage::Format format) {
  QImage image(size, format);
  QPainter painter(&image);
  QLinearGradient fill(0, 0, size.width(), size.height());
  fill.setColorAt(0, QColor(200, 40, 40));
  fill.setColorAt(1, QColor(30, 90, 220));
  painter.fillRect(image.rect(), fill);
  return image;
}

QImage bands(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  for (int band = 0; band < 4; ++band)
    painter.fillRect(QRect(0, band * size.height() / 4, size.width(), size.height() / 4),
                     QColor::fromHsv(band * 80, 200, 220));
  return image;
}

int make(const QByteArray& kind, const QString& path) {
  // WebP cannot be wider than 16,383 pixels; the others take the longest legal shape.
  const QSize size = kind == "webp" ? QSize(10000, 10000) : QSize(20000, 5000);
  const QImage::Format format = kind == "png16" ? QImage::Format_RGBA64 : QImage::Format_RGB32;
  const QByteArray formatName = kind == "png16" || kind == "png8" ? "png" : kind;
  QImageWriter writer(path, formatName);
  // Qt's TIFF writer leaves a gradient too large; flat bands compress well.
  QImage picture = kind == "tiff" ? bands(size) : gradient(size, format);
  if (kind == "jpeg" || kind == "webp") writer.setQuality(60);
  if (kind == "tiff") writer.setCompression(1);
  if (!writer.write(picture)) {
    std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
    return 1;
  }
  return 0;
}

int import(const QString& path) {
  QElapsedTimer timer;
  timer.start();
  try {
    const auto imported = ShortcutImageStore::importImage(QUrl::fromLocalFile(path));
    std::printf("%s: %lld ms, %lld bytes of PNG\n", qPrintable(path), static_cast<long long>(timer.elapsed()),
                static_cast<long long>(imported.png.size()));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc == 4 && std::strcmp(argv[1], "make") == 0) return make(argv[2], QString::fromLocal8Bit(argv[3]));
  if (argc == 3 && std::strcmp(argv[1], "import") == 0) return import(QString::fromLocal8Bit(argv[2]));
  std::fprintf(stderr, "usage: image_import_bench make png8|png16|jpeg|webp|tiff FILE | import FILE\n");
  return 2;
}
