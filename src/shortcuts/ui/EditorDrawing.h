#pragma once

#include "platform/core/Color.h"

class QPainter;
class QWidget;
class QString;

/// Drawing shared by the editor's custom controls.
namespace EditorDrawing {

/// `color` blended a fraction `f` of the way toward black.
pf::Color darkened(const pf::Color& color, double f);
/// A centred one-line title in the system font of 13 points, semibold or medium.
void drawTitle(QPainter& painter, const QWidget* control, const QString& title, bool semibold, bool enabled);

}  // namespace EditorDrawing
