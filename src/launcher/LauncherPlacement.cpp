#include "launcher/LauncherPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

/// The room the panel may take: over the desktop panel's strip at the bottom,
/// below the visible frame's top, a little in from the screen's sides.
pf::Rect bounds(const pf::Rect& screen, const pf::Rect& visible) {
  return {screen.minX() + 6, screen.minY() + 2, std::max(0.0, screen.width() - 12),
          std::max(0.0, (visible.maxY() - 6) - (screen.minY() + 2))};
}

struct Placer {
  pf::Rect anchor;
  pf::Size size;
  pf::Rect area;
  std::vector<pf::Rect> obstacles;

  double clampX(double x) const {
    return std::min(std::max(area.minX(), x), std::max(area.minX(), area.maxX() - size.width));
  }
  double clampY(double y) const {
    return std::min(std::max(area.minY(), y), std::max(area.minY(), area.maxY() - size.height));
  }
  pf::Rect at(pf::Point origin) const { return {origin, size}; }
  bool inside(pf::Point origin) const { return area.contains(at(origin)); }
  bool clear(pf::Point origin) const {
    const pf::Rect frame = at(origin);
    if (!inside(origin) || frame.intersects(anchor.insetBy(2, 2))) return false;
    return std::none_of(obstacles.begin(), obstacles.end(), [&](const pf::Rect& o) { return frame.intersects(o); });
  }
};

}  // namespace

pf::Point LauncherPlacement::origin(const pf::Rect& anchor, pf::Size size, const pf::Rect& screenFrame,
                                    const pf::Rect& visibleFrame, const std::vector<pf::Rect>& dockFrames) {
  Placer p{anchor, size, bounds(screenFrame, visibleFrame), {}};
  for (const pf::Rect& dock : dockFrames)
    if (!dock.isEmpty() && dock.intersects(screenFrame)) p.obstacles.push_back(dock.insetBy(-8, -8));

  const double y0 = p.clampY(anchor.minY());
  const double leftX = anchor.minX() - size.width + 2;
  const double rightX = anchor.maxX() - 2;
  std::vector<pf::Point> sides;
  for (const pf::Point side : {pf::Point{leftX, y0}, pf::Point{rightX, y0}})
    if (p.inside(side)) sides.push_back(side);
  for (const pf::Point side : sides)
    if (p.clear(side)) return side;

  const pf::Point fallback = sides.empty() ? pf::Point{p.clampX(rightX), y0} : sides.front();
  std::vector<pf::Point> bases = sides;
  if (bases.empty()) bases = {{p.clampX(leftX), y0}, {p.clampX(rightX), y0}};
  std::vector<pf::Point> candidates;
  for (const pf::Point q : bases) {
    for (const pf::Rect& o : p.obstacles) {
      candidates.push_back({q.x, o.maxY()});
      candidates.push_back({q.x, o.minY() - size.height});
      candidates.push_back({o.minX() - size.width, q.y});
      candidates.push_back({o.maxX(), q.y});
    }
  }
  candidates.push_back({p.clampX(anchor.midX() - size.width / 2), anchor.maxY() + 8});

  std::optional<pf::Point> best;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const pf::Point c : candidates) {
    if (!p.clear(c)) continue;
    const double distance = std::hypot(c.x - fallback.x, c.y - fallback.y);
    if (distance < bestDistance) {
      best = c;
      bestDistance = distance;
    }
  }
  return best.value_or(fallback);
}
