#pragma once

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <vector>

namespace pf {

/// One posted notification: its name, the object it concerns (compared by
/// identity; null when none) and optional details.
struct Notification {
  QString name;
  const void* object = nullptr;
  QVariantMap userInfo;
};

class NotificationCenter;

/// Removes its observer when destroyed or reset; move-only.
class ObserverToken final {
 public:
  ObserverToken() = default;
  ObserverToken(NotificationCenter* center, quint64 id) : m_center(center), m_id(id) {}
  ObserverToken(ObserverToken&& other) noexcept;
  ObserverToken& operator=(ObserverToken&& other) noexcept;
  ObserverToken(const ObserverToken&) = delete;
  ObserverToken& operator=(const ObserverToken&) = delete;
  ~ObserverToken();

  void reset();
  bool isActive() const { return m_center != nullptr; }

 private:
  NotificationCenter* m_center = nullptr;
  quint64 m_id = 0;
};

/// Named notifications delivered synchronously on the posting (main) thread,
/// in the order the observers were added.
class NotificationCenter final {
 public:
  using Handler = std::function<void(const Notification&)>;

  /// The application-wide centre.
  static NotificationCenter& defaultCenter();

  /// Observes `name`, posted for `object` only, or for any object when `object` is null.
  [[nodiscard]] ObserverToken addObserver(const QString& name, const void* object, Handler handler);

  void post(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});

  /// Removing during delivery is safe: a removed observer is not called again.
  void removeObserver(quint64 id);

  std::size_t observerCount() const { return m_observers.size(); }

 private:
  struct Observer {
    quint64 id;
    QString name;
    const void* object;
    std::shared_ptr<Handler> handler;
  };
  std::vector<Observer> m_observers;
  quint64 m_nextID = 1;
};

}  // namespace pf
