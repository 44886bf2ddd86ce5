#include "platform/ui/ControlStyle.h"

#include "platform/gfx/Contrast.h"
#include "platform/ui/ViewStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace pf {
namespace {

Rgba rgba(const QColor& c) { return {c.redF(), c.greenF(), c.blueF(), c.alphaF()}; }

bool isTinted(const QWidget* widget) {
  return widget && ViewStyle::color(widget, ViewStyle::ColorRole::bezel).has_value();
}

/// Strokes `shape` (built in the option's rectangle shrunk by half a pixel,
/// so the line lies on whole pixels) in `color`.
template <typename Shape>
void strokeEdge(QPainter* painter, const QColor& color, Shape shape) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->setPen(QPen(color, 1));
  painter->setBrush(Qt::NoBrush);
  shape(painter);
  painter->restore();
}

QColor mixed(const QColor& from, const QColor& to, double f) {
  const auto mix = [f](double a, double b) { return float(a + (b - a) * f); };
  return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()));
}

QRectF edgeRect(const QRect& rect) { return QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5); }

// A disabled tinted button, face and title, is seen through, as the original
// platform shows it: its colours are the enabled ones.
constexpr double disabledOpacity = 0.45;

}  // namespace

ControlStyle::ControlStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QColor ControlStyle::edgeColor(const QPalette& palette) {
  return mixed(palette.color(QPalette::Active, QPalette::WindowText), palette.color(QPalette::Active, QPalette::Window),
               0.4);
}

QColor ControlStyle::tintedRim(const QColor& bezel, const QPalette& palette) {
  return mixed(bezel, palette.color(QPalette::Active, QPalette::WindowText), 0.4);
}

QColor ControlStyle::tintedFace(const QColor& bezel, const QColor& title) {
  const Rgba face = Contrast::legibleFace(rgba(bezel), rgba(title), Contrast::text);
  return QColor::fromRgbF(float(face.red), float(face.green), float(face.blue));
}

void ControlStyle::drawTintedButton(const QStyleOption* option, QPainter* painter) const {
  const QColor bezel = option->palette.color(QPalette::Button);
  QColor face = tintedFace(bezel, option->palette.color(QPalette::ButtonText));
  if (option->state & State_Sunken) face = face.darker(120);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  if (!(option->state & State_Enabled)) painter->setOpacity(disabledOpacity);
  painter->setPen(QPen(tintedRim(bezel, option->palette), 1));
  painter->setBrush(face);
  painter->drawRoundedRect(edgeRect(option->rect), 4, 4);
  painter->restore();
}

void ControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
  if (element == PE_PanelButtonCommand && isTinted(widget)) {
    drawTintedButton(option, painter);
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  const QColor edge = edgeColor(option->palette);
  switch (element) {
    case PE_IndicatorCheckBox:
      strokeEdge(painter, edge, [&](QPainter* p) { p->drawRect(edgeRect(option->rect)); });
      break;
    case PE_IndicatorRadioButton:
      strokeEdge(painter, edge, [&](QPainter* p) { p->drawEllipse(edgeRect(option->rect)); });
      break;
    case PE_FrameLineEdit:
    case PE_PanelButtonCommand: {
      const bool focused = (option->state & State_HasFocus) && element == PE_FrameLineEdit;
      const QColor color = focused ? option->palette.color(QPalette::Highlight) : edge;
      strokeEdge(painter, color, [&](QPainter* p) { p->drawRoundedRect(edgeRect(option->rect), 2, 2); });
      break;
    }
    default: break;
  }
}

void ControlStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
  const bool faded = element == CE_PushButtonLabel && isTinted(widget) && !(option->state & State_Enabled);
  painter->save();
  if (faded) painter->setOpacity(disabledOpacity);
  QProxyStyle::drawControl(element, option, painter, widget);
  painter->restore();
}

void ControlStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                      const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  if (control != CC_ScrollBar) return;
  const QRect handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
  if (handle.isEmpty()) return;
  strokeEdge(painter, edgeColor(option->palette), [&](QPainter* p) { p->drawRoundedRect(edgeRect(handle), 2, 2); });
}

}  // namespace pf
