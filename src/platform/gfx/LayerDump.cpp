#include "platform/gfx/LayerDump.h"

#include "platform/gfx/GradientLayer.h"
#include "platform/gfx/ShapeLayer.h"

#include <QCryptographicHash>
#include <QStringList>

namespace pf {

namespace {

QString num(double v) { return QString::number(v, 'g', 10); }
QString point(Point p) { return QStringLiteral("(%1, %2)").arg(num(p.x), num(p.y)); }
QString rect(const Rect& r) {
  return QStringLiteral("(%1, %2, %3, %4)")
      .arg(num(r.origin.x), num(r.origin.y), num(r.size.width), num(r.size.height));
}

QString color(const Color& c) {
  switch (c.space) {
    case Color::Space::calibratedRGB:
      return QStringLiteral("rgb(%1, %2, %3, %4)").arg(num(c.red), num(c.green), num(c.blue), num(c.alpha));
    case Color::Space::sRGB:
      return QStringLiteral("srgb(%1, %2, %3, %4)").arg(num(c.red), num(c.green), num(c.blue), num(c.alpha));
    case Color::Space::calibratedWhite: return QStringLiteral("white(%1, %2)").arg(num(c.red), num(c.alpha));
    case Color::Space::system: return QStringLiteral("system(%1, %2)").arg(c.name, num(c.alpha));
  }
  return {};
}

QString color(const std::optional<Color>& c) { return c ? color(*c) : QStringLiteral("none"); }

QString path(const Path& p) {
  QStringList parts;
  static const char* letters = "MLQCZ";
  for (const auto& e : p.elements()) {
    QString part{QLatin1Char(letters[static_cast<int>(e.type)])};
    for (int i = 0; i < e.pointCount(); ++i) part += QLatin1Char(' ') + point(e.points[static_cast<std::size_t>(i)]);
    parts << part;
  }
  return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString value(const AnimationValue& v) {
  if (const auto* d = std::get_if<double>(&v)) return num(*d);
  if (const auto* p = std::get_if<Point>(&v)) return point(*p);
  if (const auto* r = std::get_if<Rect>(&v)) return rect(*r);
  if (const auto* c = std::get_if<Color>(&v)) return color(*c);
  return path(std::get<Path>(v));
}

QString numbers(const std::vector<double>& list) {
  QStringList parts;
  for (double d : list) parts << num(d);
  return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString timing(const TimingFunction& t) {
  if (t.isLinear()) return QStringLiteral("linear");
  return QStringLiteral("bezier%1%2").arg(point(t.control1), point(t.control2));
}

QString image(const QImage& i) {
  const QByteArray pixels(reinterpret_cast<const char*>(i.constBits()), static_cast<qsizetype>(i.sizeInBytes()));
  const QByteArray hash = QCryptographicHash::hash(pixels, QCryptographicHash::Sha1).toHex().left(12);
  return QStringLiteral("%1x%2 #%3").arg(i.width()).arg(i.height()).arg(QString::fromLatin1(hash));
}

void animation(QStringList& out, const QString& indent, const QString& key, const Animation& a) {
  QString line = indent + QStringLiteral("animation ") +
                 (key.isEmpty() ? QStringLiteral("-") : QLatin1Char('"') + key + QLatin1Char('"'));
  if (a.kind() != Animation::Kind::group) {
    line += QStringLiteral(" \"%1\"").arg(static_cast<const PropertyAnimation&>(a).keyPath);
  }
  line += QStringLiteral(" duration=%1 begin=%2 offset=%3 repeat=%4 autoreverses=%5 timing=%6")
              .arg(num(a.duration), num(a.beginTime), num(a.timeOffset), num(a.repeatCount))
              .arg(a.autoreverses ? QStringLiteral("yes") : QStringLiteral("no"), timing(a.timingFunction));
  if (a.kind() == Animation::Kind::basic) {
    const auto& b = static_cast<const BasicAnimation&>(a);
    if (b.fromValue) line += QStringLiteral(" from=") + value(*b.fromValue);
    if (b.toValue) line += QStringLiteral(" to=") + value(*b.toValue);
    if (b.byValue) line += QStringLiteral(" by=") + value(*b.byValue);
  } else if (a.kind() == Animation::Kind::keyframe) {
    const auto& k = static_cast<const KeyframeAnimation&>(a);
    static const char* modes[] = {"linear", "discrete", "cubic", "paced"};
    QStringList values;
    for (const auto& v : k.values) values << value(v);
    line += QStringLiteral(" mode=%1 values=[%2]")
                .arg(QLatin1String(modes[static_cast<int>(k.calculationMode)]), values.join(QStringLiteral(", ")));
    if (!k.keyTimes.empty()) line += QStringLiteral(" keyTimes=") + numbers(k.keyTimes);
    for (const auto& t : k.timingFunctions) line += QStringLiteral(" segment=") + timing(t);
    if (k.path) line += QStringLiteral(" path=") + path(*k.path);
  }
  out << line;
  if (a.kind() == Animation::Kind::group) {
    for (const auto& member : static_cast<const AnimationGroup&>(a).animations) {
      if (member) animation(out, indent + QStringLiteral("  "), {}, *member);
    }
  }
}

void layer(QStringList& out, const QString& indent, const QString& role, const Layer& l) {
  static const char* kinds[] = {"layer", "shape", "gradient"};
  QString line = indent + role + QLatin1String(kinds[static_cast<int>(l.kind())]);
  if (!l.name().isEmpty()) line += QStringLiteral(" \"%1\"").arg(l.name());
  line += QStringLiteral(" bounds=%1 position=%2").arg(rect(l.bounds()), point(l.position()));
  if (l.anchorPoint() != Point{0.5, 0.5}) line += QStringLiteral(" anchor=") + point(l.anchorPoint());
  const Transform& t = l.transform();
  if (!t.isIdentity()) {
    line += QStringLiteral(" transform=(rotation %1, scale %2 %3, translation %4 %5)")
                .arg(num(t.rotation), num(t.scaleX), num(t.scaleY), num(t.translationX), num(t.translationY));
  }
  if (l.opacity() != 1) line += QStringLiteral(" opacity=") + num(l.opacity());
  if (l.isHidden()) line += QStringLiteral(" hidden");
  if (l.backgroundColor()) line += QStringLiteral(" background=") + color(l.backgroundColor());
  if (l.cornerRadius() != 0) line += QStringLiteral(" cornerRadius=") + num(l.cornerRadius());
  if (l.borderWidth() != 0) {
    line += QStringLiteral(" border=(%1, width %2)").arg(color(l.borderColor()), num(l.borderWidth()));
  }
  if (l.masksToBounds()) line += QStringLiteral(" masksToBounds");
  if (!l.contents().isNull()) line += QStringLiteral(" contents=") + image(l.contents());
  if (l.shadowOpacity() != 0) {
    line += QStringLiteral(" shadow=(%1, opacity %2, radius %3, offset %4 %5)")
                .arg(color(l.shadowColor()), num(l.shadowOpacity()), num(l.shadowRadius()), num(l.shadowOffset().width),
                     num(l.shadowOffset().height));
  }
  if (l.kind() == Layer::Kind::shape) {
    const auto& s = static_cast<const ShapeLayer&>(l);
    line +=
        QStringLiteral(" path=%1 fill=%2 stroke=%3 lineWidth=%4 cap=%5 join=%6 miter=%7 rule=%8 strokeStart=%9")
            .arg(path(s.path()), color(s.fillColor()), color(s.strokeColor()), num(s.lineWidth()))
            .arg(static_cast<int>(s.lineCap()))
            .arg(static_cast<int>(s.lineJoin()))
            .arg(num(s.miterLimit()))
            .arg(s.fillRule() == ShapeLayer::FillRule::evenOdd ? QStringLiteral("evenOdd") : QStringLiteral("nonZero"))
            .arg(num(s.strokeStart()));
    line += QStringLiteral(" strokeEnd=") + num(s.strokeEnd());
  } else if (l.kind() == Layer::Kind::gradient) {
    const auto& g = static_cast<const GradientLayer&>(l);
    QStringList colors;
    for (const auto& c : g.colors()) colors << color(c);
    line +=
        QStringLiteral(" type=%1 colors=[%2] locations=%3 start=%4 end=%5")
            .arg(g.type() == GradientLayer::Type::radial ? QStringLiteral("radial") : QStringLiteral("axial"),
                 colors.join(QStringLiteral(", ")), numbers(g.locations()), point(g.startPoint()), point(g.endPoint()));
  }
  out << line;
  const QString inner = indent + QStringLiteral("  ");
  for (auto it = l.values().cbegin(); it != l.values().cend(); ++it) {
    out << inner + QStringLiteral("value \"%1\" = \"%2\"").arg(it.key(), it.value());
  }
  if (l.mask()) layer(out, inner, QStringLiteral("mask: "), *l.mask());
  for (const auto& entry : l.animations()) animation(out, inner, entry.key, *entry.animation);
  for (const auto& sublayer : l.sublayers()) layer(out, inner, {}, *sublayer);
}

}  // namespace

QString dump(const Layer& l) {
  QStringList out;
  layer(out, {}, {}, l);
  return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace pf
