#include "platform/gfx/ShadowBlur.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

namespace pf {

namespace {

// Division by a box's width as a multiply and shift, exact for every sum a box
// of 8-bit levels can hold up to widths far past any image (a divide costs
// several times more).
struct Divider final {
  explicit Divider(int d)
      : magic(((std::uint64_t{1} << 48) + static_cast<std::uint64_t>(d) - 1) / static_cast<std::uint64_t>(d)) {}
  int operator()(int n) const { return static_cast<int>((static_cast<std::uint64_t>(n) * magic) >> 48); }
  std::uint64_t magic = 0;
};

// The part of a w x h grid that holds levels above zero; empty when none does.
// A shadow's image reaches well past what casts it, and a pass over its clear
// margins would only add and divide zeros.
QRect shownArea(const std::vector<int>& data, int w, int h) {
  // Eight levels at a time: a fixed run the compiler does in a few vector
  // instructions, where a search stopping at the first would go one by one.
  const auto anyOfEight = [](const int* eight) {
    int any = 0;
    for (int k = 0; k < 8; ++k) any |= eight[k];
    return any != 0;
  };
  int top = h, bottom = -1, left = w, right = -1;
  for (int y = 0; y < h; ++y) {
    const int* line = data.data() + static_cast<std::ptrdiff_t>(y) * w;
    int first = 0;
    while (first + 8 <= w && !anyOfEight(line + first)) first += 8;
    while (first < w && line[first] == 0) ++first;
    if (first == w) continue;
    int end = w;
    while (end - 8 > first && !anyOfEight(line + end - 8)) end -= 8;
    int last = end - 1;
    while (line[last] == 0) --last;
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The same for boxes up to 255 wide, in 32 bits, which the compiler divides
// several sums at a time with: exact for every sum such a box can hold (every
// width and sum was checked), as 2^24 exceeds the largest sum times the width.
struct NarrowDivider final {
  static constexpr int widest = 255;
  explicit NarrowDivider(int d)
      : magic(((std::uint32_t{1} << 24) + static_cast<std::uint32_t>(d) - 1) / static_cast<std::uint32_t>(d)) {}
  int operator()(int n) const { return static_cast<int>((static_cast<std::uint32_t>(n) * magic) >> 24); }
  std::uint32_t magic = 0;
};

// `sums` rounded and divided by the box's `width`, into `target`.
template <typename Divide>
void divided(int* target, const int* sums, int n, int width, const Divide& divide) {
  for (int x = 0; x < n; ++x) target[x] = divide(sums[x] + width / 2);
}

// One box pass of radius r along every row of a w x h grid that holds levels
// only within `shown`; outside is transparent. Answers where the result does.
QRect boxRows(std::vector<int>& data, int w, QRect shown, int r, std::vector<int>& scratch) {
  const QRect reached(QPoint(std::max(0, shown.left() - r), shown.top()),
                      QPoint(std::min(w - 1, shown.right() + r), shown.bottom()));
  const int width = 2 * r + 1;
  const Divider divide(width);
  // Each row is passed over only where the window meets a level: beyond, it adds up zeros.
  const int n = reached.width();
  scratch.resize(static_cast<std::size_t>(n));
  int* out = scratch.data();
  // The window enters the row, slides along it, then leaves it: three loops
  // with no test of the row's ends per pixel.
  const int entering = std::min(n, n - r), leaving = std::max(0, std::min(n, r + 1));
  for (int line = reached.top(); line <= reached.bottom(); ++line) {
    int* base = data.data() + static_cast<std::ptrdiff_t>(line) * w + reached.left();
    int sum = 0;
    for (int i = 0; i < std::min(r, n); ++i) sum += base[i];
    int i = 0;
    for (; i < std::min(leaving, entering); ++i) {
      sum += base[i + r];
      out[i] = divide(sum + width / 2);
    }
    for (; i < entering; ++i) {
      sum += base[i + r] - base[i - r - 1];
      out[i] = divide(sum + width / 2);
    }
    for (; i < n; ++i) {
      if (i - r - 1 >= 0) sum -= base[i - r - 1];
      out[i] = divide(sum + width / 2);
    }
    std::copy(scratch.begin(), scratch.end(), base);
  }
  return reached;
}

// The same pass down every column, a whole row at a time so memory is read in
// order, into `out`, which must hold zeros wherever the result holds none but
// `data` might. Answers where the result holds levels.
QRect boxColumns(std::vector<int>& data, int w, int h, QRect shown, int r, std::vector<int>& out,
                 std::vector<int>& sums) {
  const QRect reached(QPoint(shown.left(), std::max(0, shown.top() - r)),
                      QPoint(shown.right(), std::min(h - 1, shown.bottom() + r)));
  const int width = 2 * r + 1;
  const int left = shown.left(), n = shown.width();
  sums.assign(static_cast<std::size_t>(n), 0);
  const auto row = [&](std::vector<int>& grid, int y) {
    return grid.data() + static_cast<std::ptrdiff_t>(y) * w + left;
  };
  // Rows outside `shown` hold zeros: they neither enter nor leave the sums.
  const auto enter = [&](int y) {
    if (y < shown.top() || y > shown.bottom()) return;
    const int* in = row(data, y);
    for (int x = 0; x < n; ++x) sums[static_cast<std::size_t>(x)] += in[x];
  };
  const auto leave = [&](int y) {
    if (y < shown.top() || y > shown.bottom()) return;
    const int* in = row(data, y);
    for (int x = 0; x < n; ++x) sums[static_cast<std::size_t>(x)] -= in[x];
  };
  for (int y = reached.top() - r; y < reached.top() + r; ++y) enter(y);
  for (int y = reached.top(); y <= reached.bottom(); ++y) {
    enter(y + r);
    int* target = row(out, y);
    if (width <= NarrowDivider::widest) {
      divided(target, sums.data(), n, width, NarrowDivider(width));
    } else {
      divided(target, sums.data(), n, width, Divider(width));
    }
    leave(y - r);
  }
  data.swap(out);
  return reached;
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

// The alpha of `image` summed over 2 x 2 blocks (those past its edge hold
// fewer pixels) and divided by 4, into a grid `w` blocks wide: rows are read
// in pairs rather than each pixel added to its block on its own.
void halved(const QImage& image, std::vector<int>& alpha, int w) {
  const int width = image.width(), height = image.height();
  for (int y = 0; y < height; y += 2) {
    const auto* upper = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* lower = y + 1 < height ? reinterpret_cast<const QRgb*>(image.constScanLine(y + 1)) : nullptr;
    int* row = alpha.data() + static_cast<std::ptrdiff_t>(y / 2) * w;
    for (int x = 0; x + 1 < width; x += 2) {
      int sum = qAlpha(upper[x]) + qAlpha(upper[x + 1]);
      if (lower) sum += qAlpha(lower[x]) + qAlpha(lower[x + 1]);
      row[x / 2] = sum >> 2;
    }
    if (width % 2) row[w - 1] = (qAlpha(upper[width - 1]) + (lower ? qAlpha(lower[width - 1]) : 0)) >> 2;
  }
}

// The alpha of `content` moved by `offset`, averaged over `factor` x `factor` blocks (factor 1 or 2).
std::vector<int> shiftedAlpha(const QImage& content, QPointF offset, int factor, int& w, int& h) {
  const int width = content.width(), height = content.height();
  QImage shifted = content;
  // A whole-pixel shift is read in place; only a fractional one needs drawing.
  int dx = 0, dy = 0;
  if (offset.x() == std::trunc(offset.x()) && offset.y() == std::trunc(offset.y()) && std::fabs(offset.x()) < width &&
      std::fabs(offset.y()) < height) {
    dx = static_cast<int>(offset.x());
    dy = static_cast<int>(offset.y());
  } else {
    shifted = QImage(content.size(), QImage::Format_ARGB32_Premultiplied);
    shifted.fill(Qt::transparent);
    QPainter p(&shifted);
    p.drawImage(offset, content);
  }
  const int shift = factor == 2 ? 1 : 0;
  w = (width + factor - 1) / factor;
  h = (height + factor - 1) / factor;
  std::vector<int> alpha(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  if (shift && dx == 0 && dy == 0) {
    halved(shifted, alpha, w);
    return alpha;
  }
  const int x0 = std::max(0, dx), x1 = std::min(width, width + dx);
  for (int y = std::max(0, dy); y < std::min(height, height + dy); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(shifted.constScanLine(y - dy)) - dx;
    int* row = alpha.data() + static_cast<std::ptrdiff_t>(y >> shift) * w;
    // Each pixel its own level: a plain copy, which the compiler does several pixels at a time.
    if (!shift) {
      for (int x = x0; x < x1; ++x) row[x] = qAlpha(line[x]);
      continue;
    }
    for (int x = x0; x < x1; ++x) row[x >> shift] += qAlpha(line[x]);
  }
  if (shift) {
    for (int& a : alpha) a >>= 2;
  }
  return alpha;
}

// One row of pixels from a row of half-size blocks, bilinear: each pixel lies
// a quarter of a block from the nearest block centre, so it is three parts
// its own block and one part the nearer neighbour. Block k is `mixed[k + 1]`;
// the grid's first and last blocks are repeated beyond it, where a pixel at
// its edge leans on its own block again. Writes pixels x0 to x1, and the other
// half of the blocks at either end. Levels are never negative, so the shift
// rounds as a division would.
void widened(const int* mixed, int x0, int x1, int* out) {
  // By blocks: a pair of pixels each, their loads shared and no test of which half a pixel is.
  for (int k = x0 / 2; k <= x1 / 2; ++k) {
    const int own = 3 * mixed[k + 1] + 8;
    out[2 * k] = (own + mixed[k]) >> 4;
    out[2 * k + 1] = (own + mixed[k + 2]) >> 4;
  }
}

// Works out the blurred alpha of `content` and hands its levels (0 to 255) to
// `put(y, x, levels, n)`, a run of `n` of row `y` from column `x` at a time,
// row by row: every level that may be above zero; those not handed over are zero.
template <typename Put>
void blur(const QImage& content, QPointF offset, double sigma, Put&& put) {
  // A wide blur loses nothing when worked out at half the resolution, at a quarter of the cost.
  const int factor = sigma >= 3 ? 2 : 1;
  int w = 0, h = 0;
  std::vector<int> alpha = shiftedAlpha(content, offset, factor, w, h);
  QRect shown = shownArea(alpha, w, h);
  if (sigma > 0.1 && !shown.isEmpty()) {
    // Each pass reaches further than the one before and writes all it reaches,
    // so what the grid swapped out holds lies where the next pass writes.
    std::vector<int> scratch, out(alpha.size()), sums;
    for (int size : gaussianBoxSizes(sigma / factor)) {
      const int r = (size - 1) / 2;
      if (r <= 0) continue;
      shown = boxRows(alpha, w, shown, r, scratch);
      shown = boxColumns(alpha, w, h, shown, r, out, sums);
    }
  }
  if (factor == 1) {
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
      const int* levels = alpha.data() + static_cast<std::ptrdiff_t>(y) * w;
      put(y, shown.left(), levels + shown.left(), shown.width());
    }
    return;
  }
  // Back to full size. Only pixels beside a block that holds levels can be
  // above zero: those beyond are neither worked out nor handed over.
  if (shown.isEmpty()) return;
  const int fullWidth = content.width(), fullHeight = content.height();
  const int x0 = std::max(0, 2 * shown.left() - 1), x1 = std::min(fullWidth - 1, 2 * shown.right() + 2);
  const int y0 = std::max(0, 2 * shown.top() - 1), y1 = std::min(fullHeight - 1, 2 * shown.bottom() + 2);
  const int k0 = std::max(0, x0 / 2 - 1), k1 = std::min(w - 1, x1 / 2 + 1);
  std::vector<int> mixed(static_cast<std::size_t>(w) + 2), line(2 * static_cast<std::size_t>(w));
  for (int y = y0; y <= y1; ++y) {
    // Weighed down first, three parts the pixel's own row of blocks and one
    // part the nearer one: across, the sum then takes the same weights.
    const int k = y / 2;
    const int* own = alpha.data() + static_cast<std::ptrdiff_t>(k) * w;
    const int* near = alpha.data() + static_cast<std::ptrdiff_t>(std::clamp(y % 2 ? k + 1 : k - 1, 0, h - 1)) * w;
    for (int x = k0; x <= k1; ++x) mixed[static_cast<std::size_t>(x) + 1] = 3 * own[x] + near[x];
    mixed.front() = mixed[1];
    mixed.back() = mixed[static_cast<std::size_t>(w)];
    widened(mixed.data(), x0, x1, line.data());
    put(y, x0, line.data() + x0, x1 - x0 + 1);
  }
}

// The premultiplied pixel of `color` at every alpha level.
std::array<QRgb, 256> tintTable(const QColor& color) {
  const QRgb tint = color.rgba();
  const int ta = qAlpha(tint), tr = qRed(tint), tg = qGreen(tint), tb = qBlue(tint);
  std::array<QRgb, 256> tinted{};
  for (int level = 0; level < 256; ++level) {
    const int a = level * ta / 255;
    tinted[static_cast<std::size_t>(level)] = qRgba(tr * a / 255, tg * a / 255, tb * a / 255, a);
  }
  return tinted;
}

/// A blurred alpha kept for reuse, with everything it was worked out from.
struct KeptBlur {
  QSize size;
  QPointF offset;
  double sigma = 0;
  std::vector<std::uint8_t> alpha;   // the content's alpha, row by row
  std::vector<std::uint8_t> levels;  // the blurred alpha, row by row
};

std::vector<std::uint8_t> alphaOf(const QImage& content) {
  const int width = content.width(), height = content.height();
  std::vector<std::uint8_t> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  auto* out = alpha.data();
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(content.constScanLine(y));
    for (int x = 0; x < width; ++x) *out++ = static_cast<std::uint8_t>(qAlpha(line[x]));
  }
  return alpha;
}

// Enough for the outlines and panels of a dozen windows, so that a look change
// finds every one of them; larger pictures are rare and not worth their memory.
constexpr std::size_t keptBytes = std::size_t{8} << 20;
constexpr qsizetype largestKeptPixels = 1024 * 1024;

std::size_t bytesOf(const KeptBlur& blur) { return blur.alpha.size() + blur.levels.size(); }

/// The blurs kept, most recently used first, and the lock that guards them.
struct Kept {
  std::mutex guard;
  std::vector<KeptBlur> blurs;
};

Kept& kept() {
  static Kept instance;
  return instance;
}

std::size_t bytesOf(const std::vector<KeptBlur>& blurs) {
  std::size_t bytes = 0;
  for (const KeptBlur& k : blurs) bytes += bytesOf(k);
  return bytes;
}

/// The blurred alpha of `content`, from the kept ones when its alpha, size,
/// offset and sigma were seen lately.
std::vector<std::uint8_t> keptLevels(const QImage& content, QPointF offset, double sigma) {
  KeptBlur key{content.size(), offset, sigma, alphaOf(content), {}};
  const std::lock_guard lock(kept().guard);
  std::vector<KeptBlur>& blurs = kept().blurs;
  const auto same = [&](const KeptBlur& k) {
    return k.size == key.size && k.offset == key.offset && k.sigma == key.sigma && k.alpha == key.alpha;
  };
  if (const auto found = std::ranges::find_if(blurs, same); found != blurs.end()) {
    std::rotate(blurs.begin(), found, found + 1);
    return blurs.front().levels;
  }
  key.levels.resize(key.alpha.size());
  const int width = content.width();
  blur(content, offset, sigma, [&](int y, int x, const int* levels, int n) {
    std::uint8_t* out = key.levels.data() + static_cast<std::ptrdiff_t>(y) * width + x;
    for (int i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(std::clamp(levels[i], 0, 255));
  });
  std::size_t bytes = bytesOf(key) + bytesOf(blurs);
  while (!blurs.empty() && bytes > keptBytes) {
    bytes -= bytesOf(blurs.back());
    blurs.pop_back();
  }
  blurs.insert(blurs.begin(), std::move(key));
  return blurs.front().levels;
}

}  // namespace

QImage shadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color) {
  const std::array<QRgb, 256> tinted = tintTable(color);
  QImage shadow(content.size(), QImage::Format_ARGB32_Premultiplied);
  // Where the blur hands over no level, the level is zero, and so is its tint.
  shadow.fill(Qt::transparent);
  blur(content, offset, sigma, [&](int y, int x, const int* levels, int n) {
    QRgb* out = reinterpret_cast<QRgb*>(shadow.scanLine(y)) + x;
    // Every level the blur hands over lies within a byte: taken as one, with no test a pixel.
    for (int i = 0; i < n; ++i) out[i] = tinted[static_cast<std::uint8_t>(levels[i])];
  });
  return shadow;
}

QImage reusedShadowImage(const QImage& content, QPointF offset, double sigma, const QColor& color) {
  if (qsizetype{content.width()} * content.height() > largestKeptPixels)
    return shadowImage(content, offset, sigma, color);
  const std::vector<std::uint8_t> levels = keptLevels(content, offset, sigma);
  const std::array<QRgb, 256> tinted = tintTable(color);
  QImage shadow(content.size(), QImage::Format_ARGB32_Premultiplied);
  const std::uint8_t* level = levels.data();
  const int width = shadow.width(), height = shadow.height();
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
    for (int x = 0; x < width; ++x) line[x] = tinted[*level++];
  }
  return shadow;
}

std::size_t keptShadowBytes() {
  const std::lock_guard lock(kept().guard);
  return bytesOf(kept().blurs);
}

}  // namespace pf
