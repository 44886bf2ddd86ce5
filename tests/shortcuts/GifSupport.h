#pragma once

#include <QByteArray>
#include <vector>

namespace test {

/// A GIF of 1 x 1 frames, one per entry, each with a graphic control block
/// stating that many hundredths of a second (none for a negative entry).
inline QByteArray gif(const std::vector<int>& centiseconds) {
  QByteArray bytes("GIF89a");
  bytes.append("\x01\x00\x01\x00\x80\x00\x00", 7);
  bytes.append("\x00\x00\x00\xff\xff\xff", 6);
  for (int delay : centiseconds) {
    if (delay >= 0) {
      bytes.append("\x21\xf9\x04\x00", 4);
      bytes.append(char(delay & 0xff));
      bytes.append(char(delay >> 8));
      bytes.append("\x00\x00", 2);
    }
    bytes.append("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
    bytes.append("\x02\x02\x44\x01\x00", 5);
  }
  bytes.append('\x3b');
  return bytes;
}

}  // namespace test
