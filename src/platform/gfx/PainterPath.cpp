#include "platform/gfx/PainterPath.h"

namespace pf {

QPainterPath toQPainterPath(const Path& path, FillRule rule) {
  QPainterPath out;
  out.setFillRule(rule == FillRule::evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
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

Qt::PenCapStyle penCapStyle(LineCap cap) {
  switch (cap) {
    case LineCap::round: return Qt::RoundCap;
    case LineCap::square: return Qt::SquareCap;
    case LineCap::butt: break;
  }
  return Qt::FlatCap;
}

Qt::PenJoinStyle penJoinStyle(LineJoin join) {
  switch (join) {
    case LineJoin::round: return Qt::RoundJoin;
    case LineJoin::bevel: return Qt::BevelJoin;
    case LineJoin::miter: break;
  }
  return Qt::MiterJoin;
}

}  // namespace pf
