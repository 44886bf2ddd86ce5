#include "look/QuibSkin.h"

#include "look/LookDefaults.h"
#include "look/SkinFrames.h"
#include "look/SkinSurfaces.h"

#include <algorithm>
#include <cmath>

namespace {

/// No screen is this many points wide; larger sizes come only from faulty
/// callers, and the uncapped grid and mesh would take minutes to draw them.
constexpr double largestSide = 100000;
/// Nothing on screen lies this far from the origin. Much farther out a step of
/// a few points is lost to rounding, and a loop stepping across the rectangle
/// would never reach its far edge.
constexpr double farthest = 1e9;

/// The textures loop over the rectangle's size: a rectangle that is not
/// finite, absurdly large or absurdly far out is drawn as nothing rather than
/// spinning.
bool drawable(const pf::Rect& rect) {
  return rect.isFinite() && rect.width() <= largestSide && rect.height() <= largestSide &&
         std::fabs(rect.minX()) <= farthest && std::fabs(rect.minY()) <= farthest;
}

}  // namespace

QuibSkin QuibSkin::current() { return LookDefaults::choice<QuibSkin>(QStringLiteral("visualSkin")); }

bool QuibSkin::isLight() {
  const QuibSkin skin = current();
  return skin == pearlSpace || skin == unicornPrincess;
}

bool QuibSkin::isSpace() { return current() != classic; }

pf::Appearance QuibSkin::appearance() { return isLight() ? pf::Appearance::light : pf::Appearance::dark; }

pf::Path QuibSkin::outline(const pf::Rect& rect, double cut) {
  const pf::Rect r = rect.standardized();
  const double c = std::clamp(cut, 0.0, std::min(r.width(), r.height()) / 4);
  pf::Path path;
  path.moveTo({r.minX() + c, r.minY()});
  path.lineTo({r.maxX() - c, r.minY()});
  path.lineTo({r.maxX(), r.minY() + c});
  path.lineTo({r.maxX(), r.maxY() - c});
  path.lineTo({r.maxX() - c, r.maxY()});
  path.lineTo({r.minX() + c, r.maxY()});
  path.lineTo({r.minX(), r.maxY() - c});
  path.lineTo({r.minX(), r.minY() + c});
  path.close();
  return path;
}

void QuibSkin::draw(pf::Canvas& canvas, const pf::Rect& rect, bool tile) {
  if (!drawable(rect)) return;
  const pf::Rect r = rect.standardized();
  switch (const QuibSkin skin = current()) {
    case classic: return;
    case unicornPrincess: return SkinSurfaces::princess(canvas, r, tile);
    case moltenCore: return SkinSurfaces::molten(canvas, r, tile);
    case alienTech: return SkinSurfaces::alien(canvas, r, tile);
    case steampunk: return SkinSurfaces::steam(canvas, r, tile);
    case neonSpace:
    case pearlSpace:
    case robotLab: return SkinSurfaces::space(canvas, r, tile, skin);
  }
}

void QuibSkin::drawRobotFrame(pf::Canvas& canvas, const pf::Rect& rect, double width) {
  if (!drawable(rect) || !std::isfinite(width)) return;
  const pf::Rect r = rect.standardized();
  switch (current()) {
    case unicornPrincess: return SkinFrames::princess(canvas, r, width);
    case moltenCore: return SkinFrames::molten(canvas, r, width);
    case alienTech: return SkinFrames::alien(canvas, r, width);
    case steampunk: return SkinFrames::steam(canvas, r, width);
    case robotLab: return SkinFrames::robot(canvas, r, width);
    case classic:
    case neonSpace:
    case pearlSpace: return;
  }
}
