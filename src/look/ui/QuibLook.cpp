#include "look/ui/QuibLook.h"

#include "look/QuibTheme.h"
#include "look/ui/QuibNeonBorder.h"
#include "look/ui/QuibSmokeOverlay.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewLayer.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QVariantList>
#include <cmath>

using Palette = QuibTheme::Palette;
using Role = pf::ViewStyle::ColorRole;

namespace {

const QString settingsTitle = QStringLiteral("Wendle Settings");

pf::UserDefaults& defaults() { return pf::UserDefaults::standard(); }

bool isColorPanel(const pf::Window& window) {
  return qobject_cast<const QColorDialog*>(window.contentView()) != nullptr;
}

constexpr const char* partProperty = "quibLookPart";

bool isPart(const QWidget* view, QuibLook::Part part) {
  const QVariant marked = view ? view->property(partProperty) : QVariant();
  return marked.isValid() && marked.toInt() == static_cast<int>(part);
}

bool isGlassSurface(const QWidget* view) { return isPart(view, QuibLook::Part::glassSurface); }
bool isGlowButton(const QWidget* view) { return isPart(view, QuibLook::Part::glowButton); }

bool isTextView(const QWidget* view) {
  return qobject_cast<const QLabel*>(view) || qobject_cast<const QLineEdit*>(view) ||
         qobject_cast<const QTextEdit*>(view) || qobject_cast<const QPlainTextEdit*>(view);
}

class Repaint final {
 public:
  explicit Repaint(const Palette& old) : m_old(old), m_now(QuibTheme::palette()), m_appearance(QuibSkin::appearance()) {}

  void window(pf::Window& window) {
    reset(&window);
    QWidget* content = window.contentView();
    if (!content) return;
    view(content, content);
    if (isGlassSurface(content)) QuibSmokeOverlay::updateEffect(content);
  }

 private:
  void view(QWidget* view, const QWidget* content) {
    if (pf::ViewStyle::appearance(view)) reset(view);
    const auto layer = pf::ViewLayer::of(view);
    if (layer) {
      layer->setBackgroundColor(swapped(layer->backgroundColor()));
      layer->setBorderColor(swapped(layer->borderColor()));
    }
    if (qobject_cast<QAbstractButton*>(view)) swap(view, Role::bezel);
    // Only image views right under the content view take the new tint.
    if (isGlowButton(view) || view->parentWidget() == content) swap(view, Role::tint);
    if (isTextView(view)) swap(view, Role::text);
    if (layer && layer->sublayerNamed(QuibNeonBorder::layerName)) QuibNeonBorder::update(view, 12);
    view->update();
    for (QObject* child : view->children()) {
      auto* sub = qobject_cast<QWidget*>(child);
      if (sub && !sub->isWindow()) this->view(sub, content);
    }
  }

  // Giving a widget the appearance it has already would only re-polish its whole tree.
  void reset(QWidget* widget) const {
    if (pf::ViewStyle::appearance(widget) != m_appearance) pf::ViewStyle::setAppearance(widget, m_appearance);
  }

  std::optional<pf::Color> swapped(const std::optional<pf::Color>& color) const {
    return QuibTheme::substituted(color, m_old, m_now);
  }

  void swap(QWidget* view, Role role) const {
    const auto color = pf::ViewStyle::color(view, role);
    if (!color) return;
    const auto now = swapped(color);
    if (now != color) pf::ViewStyle::setColor(view, role, now);
  }

  const Palette m_old;
  const Palette m_now;
  const pf::Appearance m_appearance;
};

/// Every window, held so that one going away meanwhile (an effect panel
/// replaced by a change of effect) is passed over.
std::vector<QPointer<pf::Window>> allWindows() {
  std::vector<QPointer<pf::Window>> out;
  for (pf::Window* window : pf::Window::windows()) out.emplace_back(window);
  return out;
}

void refreshWindows(const Palette& old) {
  pf::ViewStyle::setDefaultAppearance(QuibSkin::appearance());
  Repaint repaint(old);
  for (const QPointer<pf::Window>& window : allWindows()) {
    if (window && !isColorPanel(*window)) repaint.window(*window);
  }
}

template <typename Store>
void change(Store&& store) {
  const Palette old = QuibTheme::palette();
  store();
  refreshWindows(old);
}

bool isFinite(const pf::Color& color) {
  return std::isfinite(color.red) && std::isfinite(color.green) && std::isfinite(color.blue) &&
         std::isfinite(color.alpha);
}

}  // namespace

void QuibLook::mark(QWidget* view, Part part) { view->setProperty(partProperty, static_cast<int>(part)); }

void QuibLook::setCustomColor(const pf::Color& color, bool background) {
  // A NaN would be stored, then read back as no colour at all: the choice
  // would silently turn into the fallback.
  if (!isFinite(color)) return;
  if (color.space == pf::Color::Space::system && !pf::systemColor(color.name)) return;
  const pf::Rgba rgb = pf::resolved(color);
  change([&] {
    defaults().set(background ? QStringLiteral("customBackgroundRGB") : QStringLiteral("customAccentRGB"),
                   QVariantList{rgb.red, rgb.green, rgb.blue});
    defaults().set(background ? QuibTheme::backgroundKey : QuibTheme::preferenceKey, QStringLiteral("custom"));
  });
}

void QuibLook::select(QuibColorTheme theme) {
  change([&] { defaults().set(QuibTheme::preferenceKey, theme.rawValue()); });
}

void QuibLook::selectBackground(QuibBackground background) {
  change([&] { defaults().set(QuibTheme::backgroundKey, background.rawValue()); });
}

void QuibLook::selectSkin(QuibSkin skin) {
  change([&] { defaults().set(QStringLiteral("visualSkin"), skin.rawValue()); });
}

void QuibLook::selectTrimOnly(bool trimOnly) {
  change([&] { defaults().set(QuibTheme::trimKey, trimOnly); });
}

void QuibLook::selectEffect(QuibBorderEffect effect) {
  change([&] { defaults().set(QStringLiteral("borderEffect"), effect.rawValue()); });
  const bool enabled = effect != QuibBorderEffect::none;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [enabled] {
        for (const QPointer<pf::Window>& window : allWindows()) {
          if (!window) continue;
          const bool decorated = isGlassSurface(window->contentView()) || window->windowTitle() == settingsTitle;
          if (window->isVisible() && decorated) QuibSmokeOverlay::update(window, enabled);
        }
      },
      Qt::QueuedConnection);
}
