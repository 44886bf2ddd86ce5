#include "platform/gfx/Symbols.h"

namespace pf {

std::optional<Image> Symbols::named(const QString& name, double pointSize, const QString& description) {
  auto symbol = Image::fromFile(QStringLiteral(":/symbols/") + name + QStringLiteral(".svg"));
  if (!symbol) return std::nullopt;
  Image sized({pointSize, pointSize},
              [drawing = *symbol](QPainter& painter, const QRectF& rect) { drawing.draw(painter, rect); });
  sized.setTemplate(true);
  sized.setAccessibilityDescription(description);
  return sized;
}

}  // namespace pf
