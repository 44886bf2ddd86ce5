#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"

#include <QFont>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace pf {
class Window;
}

/// The pieces both favorites windows are built from, at frames given y-up in
/// their base content size.
namespace FavoriteWindowParts {

/// A titled, closable window with the skin's appearance and a glass content view of `size`.
std::unique_ptr<pf::Window> glassWindow(const QString& title, pf::Size size);
/// Places `widget` at `frame` within a content `contentHeight` high.
void place(QWidget* widget, const pf::Rect& frame, double contentHeight);
/// A plain-text label at `pixelSize` in the theme's text colour.
QLabel* label(QWidget* parent, const QString& text, int pixelSize);
/// An empty label that wraps its sentence, at `pixelSize` in `color`.
QLabel* statusLabel(QWidget* parent, int pixelSize, const pf::Color& color);
/// A push button that Return does not press.
QPushButton* button(QWidget* parent, const QString& title);
/// Gives `button` a coloured face and white text.
void tintButton(QPushButton* button, const pf::Color& bezel);

}  // namespace FavoriteWindowParts
