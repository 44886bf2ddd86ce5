#include "look/SkinFrames.h"

#include "look/BorderVFXParts.h"
#include "look/LookColor.h"
#include "look/QuibBorderVFX.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "look/SkinShapes.h"
#include "platform/gfx/Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

using pf::Canvas;
using pf::Color;
using pf::Path;
using pf::Point;
using pf::Rect;

namespace {

Color rgb(double r, double g, double b) { return Color::calibratedRGB(r, g, b, 1.0); }
Color white(double w) { return Color::calibratedWhite(w, 1.0); }

/// How one edge of a band is stroked.
struct Edge {
  Color color;
  double width;
};

/// The two edges of a frame's band.
struct Ring {
  Path outer;
  Path inner;
};

/// The chamfered band of a frame, from 1.5 inside `rect` to `w` inside it.
Ring chamfered(const Rect& rect, double w, double outerCut, double innerCut) {
  return {QuibSkin::outline(SkinShapes::inset(rect, 1.5), outerCut),
          QuibSkin::outline(SkinShapes::inset(rect, w), innerCut)};
}

/// Fills `ring` with `gradient` at `angle` and strokes its edges.
void band(Canvas& canvas, const Ring& ring, const pf::Gradient& gradient, double angle, const Edge& outerEdge,
          const Edge& innerEdge) {
  canvas.fillLinearGradient(SkinShapes::band(ring.outer, ring.inner), gradient, angle, Canvas::FillRule::evenOdd);
  canvas.stroke(ring.outer, outerEdge.color, outerEdge.width);
  canvas.stroke(ring.inner, innerEdge.color, innerEdge.width);
}

/// The 12-toothed gear: 48 points, every other pair pulled in to 0.78 of the radius.
Path gear(Point centre, double radius) {
  std::vector<Point> points;
  for (int k = 0; k < 48; ++k) {
    const double a = k * 7.5 * M_PI / 180;
    const double r = (k & 2) ? radius * 0.78 : radius;
    points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
  }
  return SkinShapes::polygon(points);
}

/// One side of a frame: 0 bottom, 1 top, 2 left, 3 right.
struct Side {
  int index;
  double length;
};

std::array<Side, 4> sides(const Rect& rect) {
  return {{{0, rect.width()}, {1, rect.width()}, {2, rect.height()}, {3, rect.height()}}};
}

bool horizontal(const Side& side) { return side.index < 2; }

/// The point at fraction `t` along `side`, `inside` in from the bottom and
/// left edges or `outside` in from the top and right ones.
Point along(const Rect& rect, const Side& side, double t, double inside, double outside) {
  switch (side.index) {
    case 0: return {rect.minX() + rect.width() * t, rect.minY() + inside};
    case 1: return {rect.minX() + rect.width() * t, rect.maxY() - outside};
    case 2: return {rect.minX() + inside, rect.minY() + rect.height() * t};
    default: return {rect.maxX() - outside, rect.minY() + rect.height() * t};
  }
}

}  // namespace

const Color& SkinFrames::brass() {
  static const Color color = rgb(0.76, 0.48, 0.17);
  return color;
}

const Color& SkinFrames::brassLight() {
  static const Color color = rgb(1.0, 0.8, 0.4);
  return color;
}

const Color& SkinFrames::copper() {
  static const Color color = rgb(0.27, 0.12, 0.045);
  return color;
}

void SkinFrames::steam(Canvas& canvas, const Rect& rect, double w) {
  canvas.save();
  const Ring ring = chamfered(rect, w, 14, 10);
  band(canvas, ring, SkinShapes::gradient({copper(), brass(), brassLight(), brass(), copper()}), 65, {brassLight(), 1},
       {copper(), 2});
  const Path middle = QuibSkin::outline(SkinShapes::inset(rect, w / 2), 12);
  canvas.stroke(middle, copper(), std::max(w * 0.22, 1.0));
  canvas.stroke(middle, brassLight().withAlpha(0.65), 0.7);

  const double rivet = w > 8 ? 2.5 : 1.6;
  for (const double x : {rect.minX() + w / 2, rect.maxX() - w / 2}) {
    for (int k = 0; rect.minY() + 22 + 42.0 * k <= rect.maxY() - 18; ++k) {
      const Path head = SkinShapes::circle({x, rect.minY() + 22 + 42.0 * k}, rivet);
      SkinShapes::fillAndStroke(canvas, head, copper(), brassLight(), 0.7);
    }
  }

  if (w >= 6) {
    const double radius = w > 8 ? 8 : 4.5;
    for (const Point centre : {Point{rect.minX() + w, rect.minY() + w}, Point{rect.maxX() - w, rect.maxY() - w}}) {
      SkinShapes::fillAndStroke(canvas, gear(centre, radius), brass(), brassLight(), 0.6);
      SkinShapes::fillAndStroke(canvas, SkinShapes::circle(centre, 0.36 * radius), copper(), brassLight(), 1);
    }
  }
  canvas.restore();
}

void SkinFrames::alien(Canvas& canvas, const Rect& rect, double w) {
  const Color cyanLight = rgb(0.1, 0.85, 1.0);
  const Color violetLight = rgb(0.62, 0.28, 1.0);
  canvas.save();
  const Ring ring = chamfered(rect, w, 20, 16);
  band(canvas, ring, SkinShapes::gradient({rgb(0.025, 0.05, 0.12), rgb(0.22, 0.36, 0.46), rgb(0.08, 0.12, 0.24)}), 65,
       {cyanLight.withAlpha(0.8), 1.2}, {violetLight.withAlpha(0.7), 1.1});

  for (const Side side : sides(rect)) {
    const int n = BorderVFXParts::count(side.length / 90, 2, INT_MAX);
    for (int j = 0; j < n; ++j) {
      const Point c = along(rect, side, (j + 0.5) / n, w / 2, w / 2);
      const Path bar = horizontal(side) ? SkinShapes::line({c.x - 12, c.y}, {c.x + 12, c.y})
                                        : SkinShapes::line({c.x, c.y - 12}, {c.x, c.y + 12});
      const Color color = (j + side.index) % 3 == 0 ? violetLight : cyanLight;
      canvas.save();
      canvas.setShadow(color, 4);
      canvas.stroke(bar, color, w > 8 ? 2.5 : 1.3);
      canvas.restore();
      canvas.fill(SkinShapes::circle(c, 1.2), LookColor::white().withAlpha(0.9));
    }
  }
  canvas.restore();
}

void SkinFrames::molten(Canvas& canvas, const Rect& rect, double w) {
  const Color lava = rgb(1.0, 0.3, 0.025);
  const Color glow = rgb(1.0, 0.75, 0.18);
  canvas.save();
  const Ring ring = chamfered(rect, w, 18, 13);
  band(canvas, ring, SkinShapes::gradient({white(0.07), rgb(0.28, 0.17, 0.13), white(0.12), rgb(0.38, 0.16, 0.07)}), 60,
       {lava.withAlpha(0.85), 1.4}, {glow.withAlpha(0.65), 0.8});

  canvas.save();
  canvas.clip(SkinShapes::band(ring.outer, ring.inner), Canvas::FillRule::evenOdd);
  for (const Side side : sides(rect)) {
    const int n = BorderVFXParts::count(side.length / 44, 2, INT_MAX);
    for (int j = 0; j < n; ++j) {
      const Point p = along(rect, side, (j + 0.3) / n, 0, w);
      const double d = QuibBorderVFX::noise(41 * side.index + j) * 8 - 4;
      const Path vein = horizontal(side) ? SkinShapes::polyline({p, {p.x + d, p.y + 0.4 * w}, {p.x - 3, p.y + w}})
                                         : SkinShapes::polyline({p, {p.x + 0.4 * w, p.y + d}, {p.x + w, p.y + 4}});
      canvas.setShadow(lava, 4);
      canvas.stroke(vein, lava, 2);
      canvas.stroke(vein, glow.withAlpha(0.85), 0.6);
    }
  }
  canvas.restore();
  canvas.restore();
}

void SkinFrames::princess(Canvas& canvas, const Rect& rect, double w) {
  const Color gold = rgb(0.86, 0.61, 0.27);
  canvas.save();
  const Ring ring{SkinShapes::roundedRect(SkinShapes::inset(rect, 2), 16),
                  SkinShapes::roundedRect(SkinShapes::inset(rect, w), 12)};
  band(canvas, ring, SkinShapes::gradient({rgb(1.0, 0.72, 0.88), LookColor::white(), rgb(0.82, 0.73, 1.0)}), 70,
       {gold, 1.4}, {gold, 0.8});

  const double g = w > 8 ? 5 : 3;
  for (const Point c : {Point{rect.minX() + w, rect.minY() + w}, Point{rect.minX() + w, rect.maxY() - w},
                        Point{rect.maxX() - w, rect.minY() + w}, Point{rect.maxX() - w, rect.maxY() - w}}) {
    const Path gem = SkinShapes::polygon({{c.x, c.y + g}, {c.x + g, c.y}, {c.x, c.y - g}, {c.x - g, c.y}});
    canvas.fillLinearGradient(gem, SkinShapes::gradient({LookColor::white(), rgb(0.95, 0.32, 0.78)}), 45);
    canvas.stroke(gem, gold, 0.7);
  }

  if (w >= 8) {
    for (const Point c : {Point{rect.midX(), rect.minY() + w / 2}, Point{rect.midX(), rect.maxY() - w / 2}}) {
      std::vector<Point> star;
      for (const Point d : {Point{0, 4}, Point{1.4, 1.3}, Point{5, 0}, Point{1.4, -1.3}, Point{0, -4},
                            Point{-1.4, -1.3}, Point{-5, 0}, Point{-1.4, 1.3}}) {
        star.push_back({c.x + d.x, c.y + d.y});
      }
      SkinShapes::fillAndStroke(canvas, SkinShapes::polygon(star), LookColor::white(), gold, 0.7);
    }
  }
  canvas.restore();
}

void SkinFrames::robot(Canvas& canvas, const Rect& rect, double w) {
  const double W = rect.width();
  const double H = rect.height();
  canvas.save();
  canvas.translate(rect.minX(), rect.minY());
  const Rect local(0, 0, W, H);
  const Ring ring = chamfered(local, w, 22, 16);
  band(canvas, ring, SkinShapes::gradient({white(0.45), white(0.9), white(0.62), white(0.98)}), 65,
       {LookColor::white().withAlpha(0.95), 1.5}, {white(0.17), 2});

  canvas.save();
  canvas.clip(SkinShapes::band(ring.outer, ring.inner), Canvas::FillRule::evenOdd);
  for (const double f : {0.2, 0.38, 0.62, 0.8}) {
    const double x = f * W;
    canvas.stroke(SkinShapes::line({x, 0}, {x + 9, 14}), LookColor::darkGray().withAlpha(0.65), 1);
    canvas.stroke(SkinShapes::line({x, H - 14}, {x + 9, H}), LookColor::darkGray().withAlpha(0.65), 1);
  }
  canvas.restore();

  const double b = std::min(0.1 * H, 35.0);
  canvas.save();
  canvas.setShadow(QuibTheme::accent(), 5);
  const Color light = QuibTheme::highlight();
  for (const double x : {6.0, W - 6}) {
    canvas.stroke(SkinShapes::line({x, 0.23 * H}, {x, 0.23 * H + b}), light, 3);
    canvas.stroke(SkinShapes::line({x, 0.66 * H}, {x, 0.66 * H + b}), light, 3);
  }
  canvas.stroke(SkinShapes::line({W / 2 - 30, 6}, {W / 2 + 30, 6}), light, 3);
  canvas.stroke(SkinShapes::line({W / 2 - 30, H - 6}, {W / 2 + 30, H - 6}), light, 3);
  canvas.restore();

  for (const Point c :
       {Point{7, 29}, Point{7, H / 2}, Point{7, H - 29}, Point{W - 7, 29}, Point{W - 7, H / 2}, Point{W - 7, H - 29}}) {
    SkinShapes::screw(canvas, c, 5, 0.6);
  }
  canvas.restore();
}
