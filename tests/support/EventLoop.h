#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace test {

/// Handles events until `done` holds or `seconds` pass; gives `done()`.
inline bool processEventsUntil(const std::function<bool()>& done, int seconds = 10) {
  const QDeadlineTimer deadline(seconds * 1000);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

}  // namespace test
