#include "platform/gfx/LargeImage.h"

#include <cstdlib>
#include <limits>
#include <sys/mman.h>

namespace pf {

namespace {

constexpr qint64 largePage = qint64{2} << 20;
// From half a page up the image is rounded up to whole large pages: the page
// it mostly fills is worth the rest of it.
constexpr qint64 smallestLarge = largePage / 2;

}  // namespace

QImage largeImage(QSize size, QImage::Format format) {
  const qint64 bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
  const qint64 bytesPerLine = (qint64{size.width()} * bitsPerPixel + 31) / 32 * 4;
  const qint64 bytes = bytesPerLine * size.height();
  if (size.isEmpty() || bytes < smallestLarge || bytesPerLine > std::numeric_limits<int>::max()) {
    return QImage(size, format);
  }
  const auto rounded = static_cast<std::size_t>((bytes + largePage - 1) / largePage * largePage);
  void* data = std::aligned_alloc(static_cast<std::size_t>(largePage), rounded);
  if (!data) return QImage(size, format);
  // Only a request: refused, the image is the same, only slower to copy.
  madvise(data, rounded, MADV_HUGEPAGE);
  return QImage(
      static_cast<uchar*>(data), size.width(), size.height(), static_cast<qsizetype>(bytesPerLine), format,
      [](void* memory) { std::free(memory); }, data);
}

}  // namespace pf
