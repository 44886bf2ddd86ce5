#include "look/BorderTextures.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {

constexpr int textureWidth = 96;
constexpr int textureHeight = 144;
constexpr int puffSize = 128;

QColor rgba(double r, double g, double b, double a) {
  return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                          static_cast<float>(std::clamp(a, 0.0, 1.0)));
}

/// A transparent image with a painter whose origin is its bottom left, y up.
class UpDrawing final {
 public:
  UpDrawing(int width, int height) : m_image(width, height, QImage::Format_ARGB32_Premultiplied) {
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setPen(Qt::NoPen);
    m_painter.translate(0, height);
    m_painter.scale(1, -1);
  }

  /// A radial gradient from `color` at `alpha` in the centre to the same
  /// colour fully transparent at `radius`, drawn only inside that circle.
  void disc(QPointF centre, double radius, QColor color, double alpha) {
    if (!(radius > 0)) return;
    QColor inner = color, outer = color;
    inner.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    outer.setAlphaF(0);
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, inner);
    gradient.setColorAt(1, outer);
    m_painter.setBrush(gradient);
    m_painter.drawEllipse(centre, radius, radius);
  }

  QImage finish() {
    m_painter.end();
    return m_image;
  }

 private:
  QImage m_image;
  QPainter m_painter;
};

QImage smokeTexture(int variant) {
  const double v = variant;
  const int k3 = variant % 3;
  UpDrawing drawing(textureWidth, textureHeight);
  for (int i = 0; i <= 23; ++i) {
    const double t = i / 23.0;
    const double grey = 0.13 + 0.52 * t + 0.025 * (i % 3);
    const QPointF centre(48 + t * 18 * std::sin(t * (k3 + 4) + v), 8 + 125 * t);
    const double radius = (13 + 24 * t) * (0.8 + 0.2 * std::sin(12 * t + v));
    drawing.disc(centre, radius, rgba(grey, grey, grey, 1), 0.34 * (1 - t));
  }
  return drawing.finish();
}

QImage fireTexture(int variant) {
  const double v = variant;
  const int k3 = variant % 3, k4 = variant % 4;
  UpDrawing drawing(textureWidth, textureHeight);
  for (int i = 0; i <= 29; ++i) {
    const double t = i / 29.0;
    const QPointF centre(48 + t * 14 * std::sin(t * (k4 + 4) + v), 5 + 133 * t);
    const double radius = (15 + 4 * k3) * (1 - t) * (0.85 + 0.15 * std::sin(16 * t + v)) + 2;
    drawing.disc(centre, radius, rgba(1.0, 0.72 - 0.48 * t, 0.06, 1), 0.72 * (1 - t));
    drawing.disc(centre, 0.38 * radius, rgba(1.0, 0.96 - 0.3 * t, 0.42 * (1 - t), 1), 0.65 * (1 - t));
  }
  return drawing.finish();
}

QImage texture(bool smoke, int variant) { return smoke ? smokeTexture(variant) : fireTexture(variant); }

std::array<QImage, BorderTextures::variants> allVariants(bool smoke) {
  std::array<QImage, BorderTextures::variants> images;
  for (int v = 0; v < BorderTextures::variants; ++v) {
    images[static_cast<std::size_t>(v)] = texture(smoke, v);
  }
  return images;
}

}  // namespace

const std::array<QImage, BorderTextures::variants>& BorderTextures::fire() {
  static const auto images = allVariants(false);
  return images;
}

const std::array<QImage, BorderTextures::variants>& BorderTextures::smoke() {
  static const auto images = allVariants(true);
  return images;
}

const QImage& BorderTextures::puff() {
  static const QImage image = [] {
    UpDrawing drawing(puffSize, puffSize);
    for (int i = 0; i <= 27; ++i) {
      const double w = 0.3 + 0.075 * (i % 6);
      const double a = i * 2.39996, d = 8 + 4 * (i % 7);
      const QPointF centre(64 + d * std::cos(a), 64 + d * std::sin(a));
      drawing.disc(centre, 18 + 3 * (i % 5), rgba(w, w, w, 1), 0.3);
    }
    return drawing.finish();
  }();
  return image;
}
