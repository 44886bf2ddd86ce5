#include "platform/gfx/ContentPainting.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>

namespace pf {

namespace {

// Layers up to this many pixels on a side are drawn on one canvas kept for
// the purpose: animated ones are drawn again many times a second, and a fresh
// image each time costs an allocation, freshly mapped pages and a paint engine.
constexpr int keptCanvasSide = 512;

// Rows of an image or a gradient drawn at a time.
constexpr int brushStrip = 31;
// Rows of an upright image drawn at a time: it makes one span a row, and every
// strip costs a clip and a set-up of Qt's image drawing of its own (a swelling
// wisp's image is drawn again at every step of its scale).
constexpr int uprightStrip = 95;

// Whether any of eight pixels has alpha: a fixed run the compiler turns into
// a few vector instructions, where a search stopping at the first would go
// one pixel at a time over every clear margin.
bool anyShown(const QRgb* eight) {
  QRgb any = 0;
  for (int k = 0; k < 8; ++k) any |= eight[k];
  return qAlpha(any) != 0;
}

// The first pixel of the row with alpha, or `width` when none has.
int firstShown(const QRgb* line, int width) {
  int x = 0;
  while (x + 8 <= width && !anyShown(line + x)) x += 8;
  while (x < width && qAlpha(line[x]) == 0) ++x;
  return x;
}

// The last pixel of the row with alpha, `first` being one.
int lastShown(const QRgb* line, int first, int width) {
  int end = width;
  while (end - 8 > first && !anyShown(line + end - 8)) end -= 8;
  while (qAlpha(line[end - 1]) == 0) --end;
  return end - 1;
}

}  // namespace

QImage& canvasFor(QSize size, QImage& fresh, KeptCanvas which) {
  thread_local std::array<QImage, 2> keptCanvases;
  QImage& kept = keptCanvases[static_cast<std::size_t>(which)];
  const bool small = size.width() <= keptCanvasSide && size.height() <= keptCanvasSide;
  QImage& canvas = small ? kept : fresh;
  if (canvas.width() < size.width() || canvas.height() < size.height()) {
    canvas = QImage(small ? size.expandedTo(kept.size()) : size, QImage::Format_ARGB32_Premultiplied);
  }
  const auto bytes = static_cast<std::size_t>(size.width()) * sizeof(QRgb);
  for (int y = 0; y < size.height(); ++y) std::memset(canvas.scanLine(y), 0, bytes);
  return canvas;
}

void paintContent(QImage& image, QRect area, bool clear, const LayerContent& content, const QTransform& place,
                  bool antialiased, bool withShadow) {
  for (const LayerContent::Part part : content.parts(withShadow)) {
    // The first part lies on the clear image itself; later ones go on a canvas of their own.
    QImage fresh;
    QImage& canvas = clear ? image : canvasFor(area.size(), fresh, KeptCanvas::part);
    const QPoint origin = clear ? QPoint(0, 0) : area.topLeft();
    {
      QPainter p(&canvas);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      // Qt fills a path about three times faster without antialiasing, and a
      // faint shape's edges look the same either way.
      p.setRenderHint(QPainter::Antialiasing, antialiased);
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      const QRect bounds = area.translated(-origin);
      const bool upright = part == LayerContent::Part::contents && place.type() <= QTransform::TxScale;
      const int strip = LayerContent::isSolid(part) ? bounds.height() : (upright ? uprightStrip : brushStrip);
      for (int y = 0; y < bounds.height(); y += strip) {
        p.resetTransform();
        p.setClipRect(QRect(bounds.left(), bounds.top() + y, bounds.width(), std::min(strip, bounds.height() - y)));
        p.setTransform(place * QTransform::fromTranslate(-origin.x(), -origin.y()));
        content.paint(p, part);
      }
    }
    if (!clear) {
      QPainter p(&image);
      p.drawImage(area.topLeft(), canvas, QRect(QPoint(0, 0), area.size()));
    }
    clear = false;
  }
}

QRect opaqueBounds(const QImage& image, QSize size) {
  // Runs for every image drawn, over every pixel: the sizes are read once, not per pixel.
  const int width = size.width(), height = size.height();
  int top = height, bottom = -1, left = width, right = -1;
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const int x0 = firstShown(line, width);
    if (x0 == width) continue;
    const int x1 = lastShown(line, x0, width);
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, x0);
    right = std::max(right, x1);
  }
  if (bottom < 0) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace pf
