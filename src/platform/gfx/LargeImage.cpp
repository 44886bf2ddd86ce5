#include "platform/gfx/LargeImage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <mutex>
#include <sys/mman.h>
#include <vector>

namespace pf {

namespace {

constexpr qint64 largePage = qint64{2} << 20;
// From half a page up the image is rounded up to whole large pages: the page
// it mostly fills is worth the rest of it.
constexpr qint64 smallestLarge = largePage / 2;

void* largePages(std::size_t bytes) {
  void* data = std::aligned_alloc(static_cast<std::size_t>(largePage), bytes);
  // Only a request: refused, the memory is the same, only slower to reach.
  if (data) madvise(data, bytes, MADV_HUGEPAGE);
  return data;
}

/// Smaller images share large pages, each taking a run of small pages of
/// one. The renderer places hundreds of such images every frame (a wisp of
/// smoke drawn at the step of its swell) from memory scattered over as many
/// small pages as they take, each a miss of the address cache when the frame
/// comes, and on a virtual machine a walk through two page tables. In the
/// real program the load of such an image in Qt's blend took a fifth of all
/// its time; on large pages it takes an eighth.
class SharedPages final {
 public:
  static constexpr std::size_t pageBytes = 4096;
  static constexpr std::size_t pagesPerChunk = static_cast<std::size_t>(largePage) / pageBytes;

  void* take(std::size_t bytes) {
    const std::size_t pages = (bytes + pageBytes - 1) / pageBytes;
    const std::lock_guard lock(m_mutex);
    for (Chunk& chunk : m_chunks) {
      if (void* data = takeFrom(chunk, pages)) return data;
    }
    void* base = largePages(static_cast<std::size_t>(largePage));
    if (!base) return nullptr;
    m_chunks.push_back(Chunk{static_cast<std::byte*>(base), 0, {}});
    return takeFrom(m_chunks.back(), pages);
  }

  void give(void* data) {
    const std::lock_guard lock(m_mutex);
    const auto* at = static_cast<const std::byte*>(data);
    const auto chunk = std::find_if(m_chunks.begin(), m_chunks.end(),
                                    [&](const Chunk& c) { return at >= c.base && at < c.base + largePage; });
    if (chunk == m_chunks.end()) return;
    chunk->runs[static_cast<std::size_t>(at - chunk->base) / pageBytes] = 0;
    // An empty chunk is let go at once: on large pages even a chunk barely
    // used is all resident, and an effect at rest keeps few images.
    if (--chunk->taken > 0) return;
    std::free(chunk->base);
    m_chunks.erase(chunk);
  }

 private:
  struct Chunk {
    std::byte* base = nullptr;
    int taken = 0;  // runs
    // At the first page of each run taken, its length in pages; 0 elsewhere.
    std::array<std::uint16_t, pagesPerChunk> runs;
  };

  // The first run of `pages` free pages in `chunk`, taken; none when it has no such run.
  static void* takeFrom(Chunk& chunk, std::size_t pages) {
    std::size_t start = 0;
    while (start + pages <= pagesPerChunk) {
      std::size_t end = start;
      while (end < start + pages && chunk.runs[end] == 0) ++end;
      if (end == start + pages) {
        chunk.runs[start] = static_cast<std::uint16_t>(pages);
        ++chunk.taken;
        return chunk.base + start * pageBytes;
      }
      // A page taken: skip past the run that holds it.
      start = end + chunk.runs[end];
    }
    return nullptr;
  }

  std::mutex m_mutex;
  std::vector<Chunk> m_chunks;
};

SharedPages& sharedPages() {
  // Never destroyed: images may outlive every other static.
  static auto* pages = new SharedPages;
  return *pages;
}

// An image of `size` on large pages of its own from half of one up, its bytes
// rounded up to whole large pages; smaller, as `small` gives it.
QImage placed(QSize size, QImage::Format format, const std::function<QImage(qint64 bytesPerLine)>& small) {
  const qint64 bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
  const qint64 bytesPerLine = (qint64{size.width()} * bitsPerPixel + 31) / 32 * 4;
  const qint64 bytes = bytesPerLine * size.height();
  if (size.isEmpty() || bytesPerLine > std::numeric_limits<int>::max()) return QImage(size, format);
  if (bytes < smallestLarge) return small(bytesPerLine);
  void* data = largePages(static_cast<std::size_t>((bytes + largePage - 1) / largePage * largePage));
  if (!data) return QImage(size, format);
  return QImage(
      static_cast<uchar*>(data), size.width(), size.height(), static_cast<qsizetype>(bytesPerLine), format,
      [](void* memory) { std::free(memory); }, data);
}

}  // namespace

QImage largeImage(QSize size, QImage::Format format) {
  return placed(size, format, [&](qint64) { return QImage(size, format); });
}

QImage sharedPagesImage(QSize size, QImage::Format format) {
  return placed(size, format, [&](qint64 bytesPerLine) {
    void* data = sharedPages().take(static_cast<std::size_t>(bytesPerLine * size.height()));
    if (!data) return QImage(size, format);
    return QImage(
        static_cast<uchar*>(data), size.width(), size.height(), static_cast<qsizetype>(bytesPerLine), format,
        [](void* memory) { sharedPages().give(memory); }, data);
  });
}

}  // namespace pf
