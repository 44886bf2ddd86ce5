#include "platform/core/QtMainQueue.h"

#include "platform/core/QtTimer.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

namespace pf {
namespace {

QObject* receiver(QObject* context) { return context ? context : QCoreApplication::instance(); }

}  // namespace

QtMainQueue& QtMainQueue::shared() {
  static QtMainQueue queue;
  return queue;
}

void QtMainQueue::async(QObject* context, std::function<void()> work) {
  QMetaObject::invokeMethod(receiver(context), std::move(work), Qt::QueuedConnection);
}

void QtMainQueue::after(double seconds, QObject* context, std::function<void()> work) {
  QTimer::singleShot(QtTimer::intervalMSecs(seconds, false), Qt::CoarseTimer, receiver(context), std::move(work));
}

std::unique_ptr<Timer> QtMainQueue::makeTimer(TimerAccuracy accuracy) { return std::make_unique<QtTimer>(accuracy); }

}  // namespace pf
