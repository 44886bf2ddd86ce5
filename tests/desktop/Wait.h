#pragma once

#include <QDeadlineTimer>
#include <QThread>

namespace desk {

/// Waits up to `ms` for `done`, checking every 20 ms; gives whether it came true.
template <typename Done>
bool waitUntil(Done done, int ms = 10000) {
  const QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(20);
  }
  return true;
}

}  // namespace desk
