#include "platform/gfx/PainterPath.h"

namespace pf {

QPainterPath toQPainterPath(const Path& path, Qt::FillRule rule) {
  QPainterPath out;
  out.setFillRule(rule);
  for (const auto& e : path.elements()) {
    const auto q = [&](int i) { return QPointF(e.points[static_cast<std::size_t>(i)].x, e.points[static_cast<std::size_t>(i)].y); };
    switch (e.type) {
      case Path::ElementType::move: out.moveTo(q(0)); break;
      case Path::ElementType::line: out.lineTo(q(0)); break;
      case Path::ElementType::quad: out.quadTo(q(0), q(1)); break;
      case Path::ElementType::cubic: out.cubicTo(q(0), q(1), q(2)); break;
      case Path::ElementType::close: out.closeSubpath(); break;
    }
  }
  return out;
}

}  // namespace pf
