#include "shortcuts/DanceTiming.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr unsigned char extensionIntroducer = 0x21;
constexpr unsigned char graphicControlLabel = 0xF9;
constexpr unsigned char imageSeparator = 0x2C;

/// Reads GIF blocks over bytes that may end anywhere.
class GifCursor {
 public:
  explicit GifCursor(const QByteArray& bytes) : m_bytes(bytes) {}

  bool has(qsizetype count) const { return m_position + count <= m_bytes.size(); }
  int byte(qsizetype offset = 0) const { return static_cast<unsigned char>(m_bytes[m_position + offset]); }
  void skip(qsizetype count) { m_position += count; }
  qsizetype position() const { return m_position; }

  /// Skips a colour table that `packed` announces.
  void skipColorTable(int packed) {
    if (packed & 0x80) skip(3 * (qsizetype(1) << ((packed & 0x07) + 1)));
  }
  /// Skips data sub-blocks up to and including the terminator; false when the bytes end first.
  bool skipSubBlocks() {
    while (has(1)) {
      const int length = byte();
      skip(1 + length);
      if (length == 0) return true;
    }
    return false;
  }

 private:
  const QByteArray& m_bytes;
  qsizetype m_position = 0;
};

}  // namespace

std::vector<std::optional<double>> DanceTiming::statedDelays(const QByteArray& gif) {
  std::vector<std::optional<double>> delays;
  if (!gif.startsWith("GIF87a") && !gif.startsWith("GIF89a")) return delays;
  GifCursor cursor(gif);
  cursor.skip(6);
  if (!cursor.has(7)) return delays;
  const int screenPacked = cursor.byte(4);
  cursor.skip(7);
  cursor.skipColorTable(screenPacked);
  std::optional<double> pending;
  while (cursor.has(1)) {
    const int introducer = cursor.byte();
    if (introducer == extensionIntroducer && cursor.has(2)) {
      if (cursor.byte(1) == graphicControlLabel && cursor.has(6) && cursor.byte(2) >= 4)
        pending = (cursor.byte(4) | (cursor.byte(5) << 8)) / 100.0;
      cursor.skip(2);
      if (!cursor.skipSubBlocks()) break;
    } else if (introducer == imageSeparator && cursor.has(11)) {
      const int imagePacked = cursor.byte(9);
      cursor.skip(10);
      cursor.skipColorTable(imagePacked);
      cursor.skip(1);  // the LZW minimum code size
      if (!cursor.skipSubBlocks()) break;
      delays.push_back(pending);
      pending.reset();
    } else {
      break;
    }
  }
  return delays;
}

double DanceTiming::duration(std::optional<double> stated) {
  const double delay = stated.value_or(defaultDelay);
  if (std::isnan(delay)) return minimumDelay;
  return std::max(delay, minimumDelay);
}

DanceTiming::Position DanceTiming::reached(const std::vector<double>& durations, size_t frame, double elapsed) {
  while (frame + 1 < durations.size() && elapsed >= durations[frame]) {
    elapsed -= durations[frame];
    ++frame;
  }
  return {frame, elapsed};
}

double DanceTiming::remaining(const std::vector<double>& durations, size_t frame) {
  if (frame >= durations.size()) return minimumDelay;
  return std::accumulate(durations.begin() + std::ptrdiff_t(frame), durations.end(), 0.0);
}
