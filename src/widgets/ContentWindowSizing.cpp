#include "widgets/ContentWindowSizing.h"

#include "platform/core/DefaultsCoding.h"
#include "platform/core/QtGeometry.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"
#include "widgets/ContentSizeRules.h"

#include <QResizeEvent>
#include <cmath>

namespace {

std::optional<double> number(const QVariantMap& map, const QString& key) {
  const QVariant value = map.value(key);
  if (!pf::DefaultsCoding::isNumber(value)) return std::nullopt;
  return value.toDouble();
}

}  // namespace

ContentWindowSizing::ContentWindowSizing(pf::Window* window, QString key,
                                         pf::UserDefaults* defaults, pf::Size minimum,
                                         pf::Size initial, std::function<pf::Size(pf::Size)> fitSize)
    : m_window(window),
      m_defaultsKey(keyPrefix + key),
      m_defaults(defaults),
      m_fitSize(std::move(fitSize)) {
  if (!window) return;
  window->setMinimumSize(int(std::ceil(minimum.width)), int(std::ceil(minimum.height)));
  window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  const std::optional<pf::Size> restored = remembered();
  apply(restored ? *restored : fittedToScreen(initial));
  window->installEventFilter(this);
}

void ContentWindowSizing::useDefault(pf::Size size) {
  if (m_window) apply(fittedToScreen(remembered().value_or(size)));
}

void ContentWindowSizing::userResized() {
  if (!m_window) return;
  apply(m_window->contentSize());
  remember(m_window->contentSize());
}

bool ContentWindowSizing::eventFilter(QObject* watched, QEvent* event) {
  // Only the window system's resizes are spontaneous: those are the user's.
  if (watched == m_window && event->type() == QEvent::Resize && event->spontaneous())
    remember(pf::toSize(QSizeF(static_cast<QResizeEvent*>(event)->size())));
  return false;
}

void ContentWindowSizing::remember(pf::Size size) {
  if (!m_defaults) return;
  m_defaults->set(m_defaultsKey,
                  QVariantMap{{QStringLiteral("width"), size.width}, {QStringLiteral("height"), size.height}});
}

std::optional<pf::Size> ContentWindowSizing::remembered() const {
  if (!m_defaults || !m_window) return std::nullopt;
  const QVariantMap stored = m_defaults->dictionary(m_defaultsKey).value_or(QVariantMap{});
  return ContentSizeRules::restored(number(stored, QStringLiteral("width")),
                                    number(stored, QStringLiteral("height")), minimumSize());
}

pf::Size ContentWindowSizing::fittedToScreen(pf::Size size) const {
  const pf::Rect visible = pf::Screens::visibleFrame(pf::Screens::of(m_window));
  return ContentSizeRules::fitted(size, minimumSize(), visible.size);
}

pf::Size ContentWindowSizing::minimumSize() const {
  return pf::toSize(QSizeF(m_window->minimumSize()));
}

void ContentWindowSizing::apply(pf::Size size) {
  m_window->setContentSize(m_fitSize ? m_fitSize(size) : size);
}
