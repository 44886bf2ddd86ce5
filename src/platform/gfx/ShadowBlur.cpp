#include "platform/gfx/ShadowBlur.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace pf {

namespace {

// One box pass of radius r along lines of `count` samples `stride` apart; outside is transparent.
void boxPass(std::vector<int>& data, int lines, int count, int lineStride, int stride, int r,
             std::vector<int>& scratch) {
  if (r <= 0) return;
  const int width = 2 * r + 1;
  scratch.resize(static_cast<std::size_t>(count));
  for (int line = 0; line < lines; ++line) {
    int* base = data.data() + static_cast<std::ptrdiff_t>(line) * lineStride;
    int sum = 0;
    for (int i = 0; i < std::min(r, count); ++i) sum += base[static_cast<std::ptrdiff_t>(i) * stride];
    for (int i = 0; i < count; ++i) {
      if (i + r < count) sum += base[static_cast<std::ptrdiff_t>(i + r) * stride];
      if (i - r - 1 >= 0) sum -= base[static_cast<std::ptrdiff_t>(i - r - 1) * stride];
      scratch[static_cast<std::size_t>(i)] = (sum + width / 2) / width;
    }
    for (int i = 0; i < count; ++i) base[static_cast<std::ptrdiff_t>(i) * stride] = scratch[static_cast<std::size_t>(i)];
  }
}

// Box sizes whose three passes together approximate a Gaussian of `sigma`.
std::array<int, 3> gaussianBoxSizes(double sigma) {
  constexpr int n = 3;
  const double ideal = std::sqrt(12 * sigma * sigma / n + 1);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  lower = std::max(lower, 1);
  const int upper = lower + 2;
  const double m = (12 * sigma * sigma - n * lower * lower - 4 * n * lower - 3 * n) / (-4.0 * lower - 4);
  const int smaller = static_cast<int>(std::round(m));
  std::array<int, 3> sizes{};
  for (int i = 0; i < n; ++i) sizes[static_cast<std::size_t>(i)] = i < smaller ? lower : upper;
  return sizes;
}

// The alpha of `content` moved by `offset`, averaged over `factor` x `factor` blocks.
std::vector<int> shiftedAlpha(const QImage& content, QPointF offset, int factor, int& w, int& h) {
  QImage shifted = content;
  if (!offset.isNull()) {
    shifted = QImage(content.size(), QImage::Format_ARGB32_Premultiplied);
    shifted.fill(Qt::transparent);
    QPainter p(&shifted);
    p.drawImage(offset, content);
  }
  w = (content.width() + factor - 1) / factor;
  h = (content.height() + factor - 1) / factor;
  std::vector<int> alpha(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < content.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(shifted.constScanLine(y));
    int* row = alpha.data() + static_cast<std::ptrdiff_t>(y / factor) * w;
    for (int x = 0; x < content.width(); ++x) row[x / factor] += qAlpha(line[x]);
  }
  const int block = factor * factor;
  if (block > 1) {
    for (int& a : alpha) a /= block;
  }
  return alpha;
}

}  // namespace

QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color) {
  // A wide blur loses nothing when worked out at half the resolution, at a quarter of the cost.
  const int factor = sigma >= 3 ? 2 : 1;
  int w = 0, h = 0;
  std::vector<int> alpha = shiftedAlpha(content, offset, factor, w, h);
  if (sigma > 0.1) {
    std::vector<int> scratch;
    for (int size : gaussianBoxSizes(sigma / factor)) {
      const int r = (size - 1) / 2;
      boxPass(alpha, h, w, w, 1, r, scratch);
      boxPass(alpha, w, h, 1, w, r, scratch);
    }
  }
  const QRgb tint = color.rgba();
  const int ta = qAlpha(tint), tr = qRed(tint), tg = qGreen(tint), tb = qBlue(tint);
  std::array<QRgb, 256> tinted{};
  for (int level = 0; level < 256; ++level) {
    const int a = level * ta / 255;
    tinted[static_cast<std::size_t>(level)] = qRgba(tr * a / 255, tg * a / 255, tb * a / 255, a);
  }
  QImage shadow(content.size(), QImage::Format_ARGB32_Premultiplied);
  if (factor == 1) {
    for (int y = 0; y < shadow.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
      const int* levels = alpha.data() + static_cast<std::ptrdiff_t>(y) * w;
      for (int x = 0; x < shadow.width(); ++x) line[x] = tinted[static_cast<std::size_t>(std::clamp(levels[x], 0, 255))];
    }
    return shadow;
  }
  // Back to full size, bilinear: each pixel lies a quarter of a block from the nearest block centre.
  const int fullWidth = shadow.width();
  std::vector<int> upper(static_cast<std::size_t>(fullWidth)), lower(upper.size());
  const auto widen = [&](int row, std::vector<int>& out) {
    const int* levels = alpha.data() + static_cast<std::ptrdiff_t>(std::clamp(row, 0, h - 1)) * w;
    for (int x = 0; x < fullWidth; ++x) {
      const int k = x / 2, neighbour = std::clamp(x % 2 ? k + 1 : k - 1, 0, w - 1);
      out[static_cast<std::size_t>(x)] = 3 * levels[k] + levels[neighbour];
    }
  };
  for (int y = 0; y < shadow.height(); ++y) {
    const int k = y / 2;
    widen(k, upper);
    widen(y % 2 ? k + 1 : k - 1, lower);
    auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
    for (int x = 0; x < fullWidth; ++x) {
      const int level = (3 * upper[static_cast<std::size_t>(x)] + lower[static_cast<std::size_t>(x)] + 8) / 16;
      line[x] = tinted[static_cast<std::size_t>(std::clamp(level, 0, 255))];
    }
  }
  return shadow;
}

}  // namespace pf
