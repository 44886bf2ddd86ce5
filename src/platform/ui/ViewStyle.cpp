#include "platform/ui/ViewStyle.h"

#include "platform/gfx/SystemColors.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

namespace pf {
namespace {

constexpr const char* appearanceKey = "pf.appearance";

const char* colorKey(ViewStyle::ColorRole role) {
  switch (role) {
    case ViewStyle::ColorRole::text: return "pf.color.text";
    case ViewStyle::ColorRole::bezel: return "pf.color.bezel";
    case ViewStyle::ColorRole::tint: return "pf.color.tint";
  }
  return "";
}

Appearance& defaultAppearanceValue() {
  static Appearance value = Appearance::light;
  return value;
}

// Every role is set, so a window of one appearance never shows a role of
// the other through the application's palette. The selection is deep enough
// for white text; the placeholder still reads on the field.
QPalette darkPalette() {
  const QColor window(0x32, 0x32, 0x35), base(0x1e, 0x1e, 0x21), text(0xf0, 0xf0, 0xf0);
  QPalette p(text, window, window.lighter(150), window.darker(150), window.lighter(120), text, Qt::white, base, window);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
  p.setColor(QPalette::Highlight, QColor(0x21, 0x60, 0xc4));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x64, 0xb4, 0xff));
  p.setColor(QPalette::LinkVisited, QColor(0xc8, 0x96, 0xff));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  return p;
}

QPalette lightPalette() {
  static const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette p = fusion->standardPalette();
  p.setColor(QPalette::PlaceholderText, QColor(0x6e, 0x6e, 0x73));
  p.setColor(QPalette::Highlight, QColor(0x21, 0x60, 0xc4));
  p.setColor(QPalette::HighlightedText, Qt::white);
  return p;
}

void showColor(QWidget* widget, ViewStyle::ColorRole role, const std::optional<Color>& color) {
  if (role == ViewStyle::ColorRole::tint) return;
  const auto own = ViewStyle::appearance(widget);
  QPalette palette = widget->palette();
  // A braced list inside a conditional dies with the expression: keep the roles in arrays.
  static constexpr QPalette::ColorRole textRoles[] = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText};
  static constexpr QPalette::ColorRole bezelRoles[] = {QPalette::Button};
  const std::span<const QPalette::ColorRole> roles =
      role == ViewStyle::ColorRole::text ? std::span<const QPalette::ColorRole>(textRoles) : bezelRoles;
  const QColor shown = color ? toQColor(*color, ViewStyle::effectiveAppearance(widget)) : QColor();
  for (QPalette::ColorRole r : roles) {
    if (color) {
      palette.setColor(r, shown);
    } else if (own) {
      palette.setColor(r, ViewStyle::palette(*own).color(r));
    } else {
      // Inherit the role again: no resolve bit, the parent's colour shows.
      palette.setResolveMask(palette.resolveMask() & ~(quint64(1) << r));
    }
  }
  widget->setPalette(palette);
}

void showKeptColors(QWidget* widget) {
  for (ViewStyle::ColorRole role : {ViewStyle::ColorRole::text, ViewStyle::ColorRole::bezel}) {
    if (auto kept = ViewStyle::color(widget, role)) showColor(widget, role, kept);
  }
}

void showKeptColorsWithin(QWidget* widget) {
  showKeptColors(widget);
  for (QWidget* view : widget->findChildren<QWidget*>()) {
    if (!view->isWindow()) showKeptColors(view);
  }
}

}  // namespace

QPalette ViewStyle::palette(Appearance appearance) {
  return appearance == Appearance::dark ? darkPalette() : lightPalette();
}

void ViewStyle::setDefaultAppearance(Appearance appearance) {
  defaultAppearanceValue() = appearance;
  QApplication::setPalette(palette(appearance));
  // A widget with a style sheet (and all within it) took the application's
  // palette when the sheet was applied and keeps it: apply the sheet anew,
  // which also puts back the palette it found then, so show the widgets'
  // own colours over it again.
  for (QWidget* widget : QApplication::allWidgets()) {
    if (widget->styleSheet().isEmpty()) continue;
    widget->setStyleSheet(widget->styleSheet());
    showKeptColorsWithin(widget);
  }
}

Appearance ViewStyle::defaultAppearance() { return defaultAppearanceValue(); }

void ViewStyle::setAppearance(QWidget* widget, std::optional<Appearance> appearance) {
  if (!widget) return;
  if (appearance) {
    widget->setProperty(appearanceKey, static_cast<int>(*appearance));
    widget->setPalette(palette(*appearance));
  } else {
    widget->setProperty(appearanceKey, QVariant());
    widget->setPalette(QPalette());
  }
  // Own colours stay over the appearance, and a named colour is shown again
  // as the new appearance gives it, in the widget and every view within it.
  showKeptColorsWithin(widget);
  widget->update();
}

std::optional<Appearance> ViewStyle::appearance(const QWidget* widget) {
  const QVariant v = widget ? widget->property(appearanceKey) : QVariant();
  if (!v.isValid()) return std::nullopt;
  return static_cast<Appearance>(v.toInt());
}

Appearance ViewStyle::effectiveAppearance(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto own = appearance(w)) return *own;
  }
  return defaultAppearance();
}

void ViewStyle::setFontSize(QWidget* widget, double pixels, QFont::Weight weight) {
  QFont font = widget->font();
  font.setPixelSize(std::max(1, int(std::lround(pixels))));
  font.setWeight(weight);
  widget->setFont(font);
}

void ViewStyle::setColor(QWidget* widget, ColorRole role, const std::optional<Color>& color) {
  if (!widget) return;
  widget->setProperty(colorKey(role), color ? QVariant::fromValue(*color) : QVariant());
  showColor(widget, role, color);
  widget->update();
}

std::optional<Color> ViewStyle::color(const QWidget* widget, ColorRole role) {
  const QVariant v = widget ? widget->property(colorKey(role)) : QVariant();
  if (!v.isValid()) return std::nullopt;
  return v.value<Color>();
}

}  // namespace pf
