#include "support/ManualScheduler.h"

#include <QObject>
#include <QPointer>
#include <cmath>
#include <map>

namespace test {

namespace {

qint64 toMSecs(double seconds) { return std::max<qint64>(0, std::llround(seconds * 1000.0)); }

}  // namespace

struct ManualScheduler::State {
  struct Entry {
    std::function<void()> work;
    QPointer<QObject> context;
    bool guarded = false;
    quint64 timer = 0;  // the firing of this timer, when not 0
  };
  struct TimerSetting {
    qint64 interval = 0;
    bool repeats = false;
    std::function<void()> fire;
  };

  qint64 now = 0;
  quint64 sequence = 0;
  quint64 nextTimer = 1;
  std::map<std::pair<qint64, quint64>, Entry> queue;  // (due, sequence) -> entry
  std::map<quint64, TimerSetting> timers;

  void schedule(qint64 due, Entry entry) { queue.emplace(std::pair(due, sequence++), std::move(entry)); }

  void unschedule(quint64 timer) {
    std::erase_if(queue, [timer](const auto& item) { return item.second.timer == timer; });
  }

  bool isScheduled(quint64 timer) const {
    return std::any_of(queue.begin(), queue.end(), [timer](const auto& item) { return item.second.timer == timer; });
  }

  void run(qint64 due, const Entry& entry) {
    if (entry.timer == 0) {
      if (!entry.guarded || entry.context) entry.work();
      return;
    }
    const auto found = timers.find(entry.timer);
    if (found == timers.end()) return;
    const std::function<void()> fire = found->second.fire;  // may restart or destroy the timer
    if (found->second.repeats) schedule(due + found->second.interval, Entry{{}, {}, false, entry.timer});
    fire();
  }
};

namespace {

class ManualTimer final : public pf::Timer {
 public:
  explicit ManualTimer(const std::shared_ptr<ManualScheduler::State>& state)
      : m_state(state), m_id(state->nextTimer++) {}
  ~ManualTimer() override {
    if (auto state = m_state.lock()) {
      state->unschedule(m_id);
      state->timers.erase(m_id);
    }
  }

  void start(double seconds, bool repeats, std::function<void()> fire) override {
    auto state = m_state.lock();
    if (!state) return;
    state->unschedule(m_id);
    // Like the Qt timer, a repeating timer waits at least 1 ms so it cannot spin.
    const qint64 interval = std::max<qint64>(toMSecs(seconds), repeats ? 1 : 0);
    state->timers[m_id] = {interval, repeats, std::move(fire)};
    state->schedule(state->now + interval, {{}, {}, false, m_id});
  }

  void stop() override {
    if (auto state = m_state.lock()) state->unschedule(m_id);
  }

  bool isActive() const override {
    auto state = m_state.lock();
    return state && state->isScheduled(m_id);
  }

 private:
  std::weak_ptr<ManualScheduler::State> m_state;
  quint64 m_id = 0;
};

}  // namespace

ManualScheduler::ManualScheduler(const QDateTime& start) : m_state(std::make_shared<State>()) {
  m_state->now = start.toMSecsSinceEpoch();
}

ManualScheduler::~ManualScheduler() = default;

QDateTime ManualScheduler::now() const { return QDateTime::fromMSecsSinceEpoch(m_state->now, Qt::UTC); }

void ManualScheduler::setNow(const QDateTime& now) { m_state->now = now.toMSecsSinceEpoch(); }

void ManualScheduler::async(QObject* context, std::function<void()> work) { after(0, context, std::move(work)); }

void ManualScheduler::after(double seconds, QObject* context, std::function<void()> work) {
  m_state->schedule(m_state->now + toMSecs(seconds),
                    {std::move(work), QPointer<QObject>(context), context != nullptr, 0});
}

std::unique_ptr<pf::Timer> ManualScheduler::makeTimer(pf::TimerAccuracy) {
  return std::make_unique<ManualTimer>(m_state);
}

void ManualScheduler::advance(double seconds) {
  const std::shared_ptr<State> state = m_state;  // the work may destroy this scheduler
  const qint64 target = state->now + toMSecs(seconds);
  while (!state->queue.empty() && state->queue.begin()->first.first <= target) {
    auto node = state->queue.extract(state->queue.begin());
    const qint64 due = node.key().first;
    state->now = std::max(state->now, due);
    state->run(due, node.mapped());
  }
  state->now = std::max(state->now, target);
}

std::size_t ManualScheduler::pendingCount() const { return m_state->queue.size(); }

}  // namespace test
