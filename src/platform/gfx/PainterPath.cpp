#include "platform/gfx/PainterPath.h"

namespace pf {

QPainterPath toQPainterPath(const Path& path, FillRule rule) {
  QPainterPath out;
  out.setFillRule(rule == FillRule::evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  for (const auto& e : path.elements()) {
    const auto q = [&](int i) {
      return QPointF(e.points[static_cast<std::size_t>(i)].x, e.points[static_cast<std::size_t>(i)].y);
    };
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

// Indexed by the enumerations, in their order.
Qt::PenCapStyle penCapStyle(LineCap cap) {
  constexpr Qt::PenCapStyle styles[] = {Qt::FlatCap, Qt::RoundCap, Qt::SquareCap};
  return styles[static_cast<int>(cap)];
}

Qt::PenJoinStyle penJoinStyle(LineJoin join) {
  constexpr Qt::PenJoinStyle styles[] = {Qt::MiterJoin, Qt::RoundJoin, Qt::BevelJoin};
  return styles[static_cast<int>(join)];
}

}  // namespace pf
