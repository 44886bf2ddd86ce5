#include "platform/core/NotificationCenter.h"

#include <algorithm>

namespace pf {

ObserverToken::ObserverToken(ObserverToken&& other) noexcept : m_center(other.m_center), m_id(other.m_id) {
  other.m_center = nullptr;
}

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept {
  if (this != &other) {
    reset();
    m_center = other.m_center;
    m_id = other.m_id;
    other.m_center = nullptr;
  }
  return *this;
}

ObserverToken::~ObserverToken() { reset(); }

void ObserverToken::reset() {
  if (m_center) m_center->removeObserver(m_id);
  m_center = nullptr;
}

NotificationCenter& NotificationCenter::defaultCenter() {
  static NotificationCenter center;
  return center;
}

ObserverToken NotificationCenter::addObserver(const QString& name, const void* object, Handler handler) {
  const quint64 id = m_nextID++;
  m_observers.push_back({id, name, object, std::make_shared<Handler>(std::move(handler))});
  return ObserverToken(this, id);
}

void NotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo) {
  const Notification note{name, object, userInfo};
  // Observers may add or remove observers while being called, so deliver to a
  // snapshot and skip any that were removed meanwhile.
  std::vector<std::pair<quint64, std::shared_ptr<Handler>>> targets;
  for (const Observer& o : m_observers)
    if (o.name == name && (!o.object || o.object == object)) targets.emplace_back(o.id, o.handler);
  for (auto& [id, handler] : targets) {
    const bool stillObserving =
        std::any_of(m_observers.begin(), m_observers.end(), [id = id](const Observer& o) { return o.id == id; });
    if (stillObserving) (*handler)(note);
  }
}

void NotificationCenter::removeObserver(quint64 id) {
  std::erase_if(m_observers, [id](const Observer& o) { return o.id == id; });
}

}  // namespace pf
