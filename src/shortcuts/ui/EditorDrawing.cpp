#include "shortcuts/ui/EditorDrawing.h"

#include "platform/gfx/SystemColors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

namespace EditorDrawing {

pf::Color darkened(const pf::Color& color, double f) {
  const pf::Rgba c = pf::resolved(color);
  return pf::Color::sRGB(c.red * (1 - f), c.green * (1 - f), c.blue * (1 - f), c.alpha);
}

void drawTitle(QPainter& painter, const QWidget* control, const QString& title, bool semibold, bool enabled) {
  QFont font = control->font();
  font.setPixelSize(13);
  font.setWeight(semibold ? QFont::DemiBold : QFont::Medium);
  const QFontMetricsF metrics(font);
  const QSizeF text(metrics.horizontalAdvance(title), metrics.height());
  const QPointF origin((control->width() - text.width()) / 2, (control->height() - text.height()) / 2);
  painter.setFont(font);
  painter.setPen(pf::toQColor(enabled ? pf::Color::system(QStringLiteral("white"))
                                      : pf::Color::system(QStringLiteral("secondaryLabelColor"))));
  painter.drawText(QRectF(origin, text), Qt::AlignCenter, title);
}

}  // namespace EditorDrawing
