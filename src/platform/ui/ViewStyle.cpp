#include "platform/ui/ViewStyle.h"

#include "platform/gfx/SystemColors.h"

#include <QApplication>
#include <QStyle>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
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

QPalette darkPalette() {
  QPalette p;
  const QColor window(0x32, 0x32, 0x35), base(0x1e, 0x1e, 0x21), text(0xf0, 0xf0, 0xf0);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
  p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  return p;
}

QPalette paletteFor(Appearance appearance) {
  return appearance == Appearance::dark ? darkPalette() : QApplication::style()->standardPalette();
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
  const QColor shown = color ? toQColor(*color) : QColor();
  for (QPalette::ColorRole r : roles) {
    if (color) {
      palette.setColor(r, shown);
    } else if (own) {
      palette.setColor(r, paletteFor(*own).color(r));
    } else {
      // Inherit the role again: no resolve bit, the parent's colour shows.
      palette.setResolveMask(palette.resolveMask() & ~(quint64(1) << r));
    }
  }
  widget->setPalette(palette);
}

}  // namespace

void ViewStyle::setAppearance(QWidget* widget, std::optional<Appearance> appearance) {
  if (!widget) return;
  if (appearance) {
    widget->setProperty(appearanceKey, static_cast<int>(*appearance));
    widget->setPalette(paletteFor(*appearance));
  } else {
    widget->setProperty(appearanceKey, QVariant());
    widget->setPalette(QPalette());
  }
  // The widget's own colours stay over its appearance.
  for (ColorRole role : {ColorRole::text, ColorRole::bezel}) {
    if (auto kept = color(widget, role)) showColor(widget, role, kept);
  }
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
  return Appearance::light;
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
