// Renders every window skin as a panel and as a launcher tile to PNG files,
// for a person to look at: look_gallery [output folder] (default
// "look-gallery"). Choices are stored in a throwaway configuration folder, so
// the user's own look is never touched.
#include "ThrowawayDefaults.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/SystemColors.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int scale = 2;

/// A picture of `size` points painted at twice the density, on the window's
/// glass over a dark desktop.
QImage render(QSizeF size, bool tile) {
  QImage image(int(size.width() * scale), int(size.height() * scale), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(QColor(32, 34, 40));
  QPainter painter(&image);
  painter.fillRect(QRectF(QPointF(0, 0), size), pf::toQColor(QuibTheme::glass()));
  pf::PainterCanvas canvas(painter, size.height());
  QuibSkin::draw(canvas, pf::Rect(0, 0, size.width(), size.height()), tile);
  return image;
}

bool save(const QImage& image, const QString& path) {
  if (image.save(path)) return true;
  std::fprintf(stderr, "Could not write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const ThrowawayDefaults defaults;

  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("look-gallery");
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "Could not create %s\n", qPrintable(folder));
    return 1;
  }

  const QSizeF panel(420, 280);
  const QSizeF tile(120, 45);
  const int gap = 16;
  const auto skins = QuibSkin::allCases();
  QImage sheet(int(panel.width() + tile.width() + 3 * gap) * scale,
               int((panel.height() + gap) * skins.size() + gap) * scale, QImage::Format_ARGB32_Premultiplied);
  sheet.setDevicePixelRatio(scale);
  sheet.fill(QColor(20, 20, 24));
  QPainter sheetPainter(&sheet);

  bool ok = true;
  double y = gap;
  for (const QuibSkin skin : skins) {
    pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), skin.rawValue());
    const QImage panelImage = render(panel, false);
    const QImage tileImage = render(tile, true);
    ok = save(panelImage, folder + "/" + skin.rawValue() + "-panel.png") && ok;
    ok = save(tileImage, folder + "/" + skin.rawValue() + "-tile.png") && ok;
    sheetPainter.drawImage(QPointF(gap, y), panelImage);
    sheetPainter.drawImage(QPointF(panel.width() + 2 * gap, y), tileImage);
    y += panel.height() + gap;
  }
  sheetPainter.end();
  ok = save(sheet, folder + "/gallery.png") && ok;
  std::printf("Wrote %zu skins to %s\n", skins.size(), qPrintable(QDir(folder).absolutePath()));
  return ok ? 0 : 1;
}
