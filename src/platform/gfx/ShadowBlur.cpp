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

}  // namespace

QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color) {
  const int w = content.width(), h = content.height();
  QImage shifted(content.size(), QImage::Format_ARGB32_Premultiplied);
  shifted.fill(Qt::transparent);
  {
    QPainter p(&shifted);
    p.drawImage(offset, content);
  }
  std::vector<int> alpha(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(shifted.constScanLine(y));
    for (int x = 0; x < w; ++x) alpha[static_cast<std::size_t>(y * w + x)] = qAlpha(line[x]);
  }
  if (sigma > 0.1) {
    std::vector<int> scratch;
    for (int size : gaussianBoxSizes(sigma)) {
      const int r = (size - 1) / 2;
      boxPass(alpha, h, w, w, 1, r, scratch);
      boxPass(alpha, w, h, 1, w, r, scratch);
    }
  }
  const QRgb tint = color.rgba();
  const int ta = qAlpha(tint), tr = qRed(tint), tg = qGreen(tint), tb = qBlue(tint);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(shifted.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int a = alpha[static_cast<std::size_t>(y * w + x)] * ta / 255;
      line[x] = qRgba(tr * a / 255, tg * a / 255, tb * a / 255, a);
    }
  }
  return shifted;
}

}  // namespace pf
