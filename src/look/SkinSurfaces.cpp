#include "look/SkinSurfaces.h"

#include "look/BorderVFXParts.h"
#include "look/LookColor.h"
#include "look/QuibBorderVFX.h"
#include "look/QuibTheme.h"
#include "look/SkinFrames.h"
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

Color rgb(double r, double g, double b, double a) { return Color::calibratedRGB(r, g, b, a); }

/// The colour a surface is filled with: the card for a tile, the window background for a panel.
Color surfaceColor(bool tile) { return (tile ? QuibTheme::card() : QuibTheme::navy()).withAlpha(1.0); }

double frameWidth(bool tile) { return tile ? 5 : 12; }

/// Clips to `clip` and fills it with the surface colour fading `darken` toward black upward.
void clipAndShade(Canvas& canvas, const Path& clip, bool tile, double darken) {
  canvas.clip(clip);
  const Color surface = surfaceColor(tile);
  canvas.fillLinearGradient(clip, SkinShapes::gradient({surface, SkinShapes::darkened(surface, darken)}), 90);
}

Path hexagon(Point centre) {
  std::vector<Point> points;
  for (int k = 0; k < 6; ++k) {
    const double a = k * M_PI / 3;
    points.push_back({centre.x + 15 * std::cos(a), centre.y + 15 * std::sin(a)});
  }
  return SkinShapes::polygon(points);
}

/// Vertical and horizontal lines every 10 points over `r`, the far edges included.
Path grid(const Rect& r) {
  Path path;
  for (int k = 0; r.minX() + 10.0 * k <= r.maxX(); ++k) {
    const double x = r.minX() + 10.0 * k;
    path.addPath(SkinShapes::line({x, r.minY()}, {x, r.maxY()}));
  }
  for (int k = 0; r.minY() + 10.0 * k <= r.maxY(); ++k) {
    const double y = r.minY() + 10.0 * k;
    path.addPath(SkinShapes::line({r.minX(), y}, {r.maxX(), y}));
  }
  return path;
}

// Qt hands the blending of a stroke that crosses many rows to worker threads
// and waits for them, which costs more than it saves; a band of whole rows at
// a time keeps it on this thread and draws the same pixels.
void strokeInBands(Canvas& canvas, const Path& path, const Rect& area, const Color& color, double width) {
  constexpr double band = 40;
  const Rect r = area.insetBy(-width, -width);
  for (double y = std::floor(r.minY()); y < r.maxY(); y += band) {
    canvas.save();
    canvas.clip(Path::rect(Rect(std::floor(r.minX()), y, std::ceil(r.width()) + 1, band)));
    canvas.stroke(path, color, width);
    canvas.restore();
  }
}

}  // namespace

void SkinSurfaces::princess(Canvas& canvas, const Rect& rect, bool tile) {
  canvas.save();
  const Path clip = SkinShapes::roundedRect(SkinShapes::inset(rect, 2), 16);
  canvas.clip(clip);
  canvas.fillLinearGradient(
      clip, SkinShapes::gradient({rgb(1.0, 0.91, 0.96, 1.0), rgb(0.94, 0.92, 1.0, 1.0), rgb(1.0, 0.98, 1.0, 1.0)}), 60);
  const int sparkles = BorderVFXParts::count(rect.width() * rect.height() / 9000, 0, 70);
  const Color sparkle = LookColor::white().withAlpha(0.7);
  for (int k = 0; k < sparkles; ++k) {
    const int i = 54 + k;
    const double x = rect.minX() + QuibBorderVFX::noise(i) * rect.width();
    const double y = rect.minY() + QuibBorderVFX::noise(i + 43) * rect.height();
    Path cross = SkinShapes::line({x - 2, y}, {x + 2, y});
    cross.addPath(SkinShapes::line({x, y - 3}, {x, y + 3}));
    canvas.stroke(cross, sparkle, 0.8);
  }
  canvas.restore();
  SkinFrames::princess(canvas, rect, frameWidth(tile));
}

void SkinSurfaces::molten(Canvas& canvas, const Rect& rect, bool tile) {
  canvas.save();
  clipAndShade(canvas, QuibSkin::outline(SkinShapes::inset(rect, 2), 18), tile, 0.12);
  const int cracks = BorderVFXParts::count(rect.width() * rect.height() / 6500, 8, 90);
  const Color crack = rgb(1.0, 0.32, 0.04, 0.09);
  for (int k = 0; k < cracks; ++k) {
    const int i = 193 + k;
    const double x = rect.minX() + QuibBorderVFX::noise(i - 102) * rect.width();
    const double y = rect.minY() + QuibBorderVFX::noise(i) * rect.height();
    canvas.stroke(SkinShapes::polyline({{x, y}, {x + 9, y + 8}, {x + 5, y + 18}, {x + 18, y + 29}}), crack, 0.7);
  }
  canvas.restore();
  SkinFrames::molten(canvas, rect, frameWidth(tile));
}

void SkinSurfaces::alien(Canvas& canvas, const Rect& rect, bool tile) {
  canvas.save();
  clipAndShade(canvas, QuibSkin::outline(SkinShapes::inset(rect, 2), 20), tile, 0.08);
  Path mesh;
  const int rows = BorderVFXParts::count(rect.height() / 24, 0, INT_MAX);
  const int columns = BorderVFXParts::count(rect.width() / 28, 0, INT_MAX);
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      const double x = rect.minX() + c * 28.0 + (r % 2 == 1 ? 14 : 0);
      mesh.addPath(hexagon({x, rect.minY() + r * 24.0}));
    }
  }
  canvas.stroke(mesh, LookColor::cyan().withAlpha(0.045), 0.5);
  canvas.restore();
  SkinFrames::alien(canvas, rect, frameWidth(tile));
}

void SkinSurfaces::steam(Canvas& canvas, const Rect& rect, bool tile) {
  canvas.save();
  clipAndShade(canvas, QuibSkin::outline(SkinShapes::inset(rect, 2), 14), tile, 0.08);
  const int speckles = BorderVFXParts::count(rect.width() * rect.height() / 110, 0, 3500);
  for (int k = 0; k < speckles; ++k) {
    const int i = 601 + k;
    const Rect oval(rect.minX() + QuibBorderVFX::noise(i - 400) * rect.width(),
                    rect.minY() + QuibBorderVFX::noise(i) * rect.height(), 1.5, 0.8);
    canvas.fill(SkinShapes::oval(oval), SkinFrames::brass().withAlpha(0.035 + 0.045 * QuibBorderVFX::noise(i - 510)));
  }
  canvas.restore();
  SkinFrames::steam(canvas, rect, frameWidth(tile));
}

void SkinSurfaces::space(Canvas& canvas, const Rect& rect, bool tile, QuibSkin skin) {
  const Rect r = SkinShapes::inset(rect, tile ? 3 : 7);
  const Path edge = QuibSkin::outline(r, tile ? 12 : 24);
  const bool pearl = skin == QuibSkin::pearlSpace;

  canvas.save();
  if (skin == QuibSkin::robotLab) {
    clipAndShade(canvas, edge, tile, 0.06);
  } else {
    canvas.clip(edge);
    const Color start = pearl  ? rgb(0.78, 0.91, 1.0, 0.97)
                        : tile ? rgb(0.025, 0.045, 0.15, 0.95)
                               : rgb(0.025, 0.045, 0.15, 0.75);
    const Color end = pearl ? rgb(0.97, 0.98, 1.0, 0.98) : rgb(0.025, 0.095, 0.22, 0.9);
    canvas.fillLinearGradient(edge, SkinShapes::gradient({start, end}), 90);
  }
  strokeInBands(canvas, grid(r), r, (pearl ? QuibTheme::accent() : LookColor::cyan()).withAlpha(0.045), 0.5);
  canvas.restore();

  if (skin == QuibSkin::robotLab) {
    canvas.save();
    const Path rim = SkinShapes::band(edge, QuibSkin::outline(SkinShapes::inset(r, tile ? 3 : 5), tile ? 10 : 21));
    canvas.fillLinearGradient(rim,
                              SkinShapes::gradient({Color::calibratedWhite(0.38), Color::calibratedWhite(0.92),
                                                    Color::calibratedWhite(0.57), LookColor::white()}),
                              90, Canvas::FillRule::evenOdd);
    canvas.restore();
    if (!tile) {
      for (const Point p : {Point{r.minX() + 15, r.minY() + 15}, Point{r.minX() + 15, r.maxY() - 15},
                            Point{r.maxX() - 15, r.minY() + 15}, Point{r.maxX() - 15, r.maxY() - 15}}) {
        SkinShapes::screw(canvas, p, 6, 0.7);
      }
    }
  }

  canvas.save();
  canvas.setShadow(QuibTheme::accent().withAlpha(0.8), tile ? 5 : 9);
  canvas.stroke(edge, QuibTheme::highlight(), 2);
  canvas.restore();

  const Color inner = pearl                        ? QuibTheme::accent().withAlpha(0.35)
                      : skin == QuibSkin::robotLab ? QuibTheme::accent().withAlpha(0.8)
                                                   : LookColor::systemPurple().withAlpha(0.8);
  canvas.stroke(QuibSkin::outline(SkinShapes::inset(r, 4), tile ? 10 : 21), inner, 1.4);

  const double length = std::min(r.width() / 5, tile ? 18.0 : 55.0);
  const double x0 = r.minX() + 20;
  const double x1 = r.maxX() - 20 - length;
  const Color tick = (pearl ? QuibTheme::highlight() : LookColor::cyan()).withAlpha(0.9);
  for (const Point p :
       {Point{x0, r.maxY() - 2}, Point{x0, r.minY() + 2}, Point{x1, r.maxY() - 2}, Point{x1, r.minY() + 2}}) {
    canvas.stroke(SkinShapes::line(p, {p.x + length, p.y}), tick, 2);
  }
}
