#pragma once

#include <QRect>
#include <QSize>
#include <QTransform>
#include <cmath>

/// Placements in device pixels, shared by the renderer's caches. Inline: they
/// are asked for every layer of every frame.
namespace pf::devicePixels {

/// Where anything drawn can still matter for a target of `pixels`: content far
/// outside it can never be seen, and huge layers stay bounded.
inline QRect reachable(QSize pixels) { return QRect(QPoint(0, 0), pixels).adjusted(-2048, -2048, 2048, 2048); }

/// Pixels in 32 bytes. Qt blends an image onto a target eight pixels at a time
/// from where the target's row lies on a 32-byte boundary, and one at a time
/// (several times the cost each) before that and after the last whole eight.
constexpr int alignedRun = 8;

/// Clear columns a picture placed again and again keeps either side: a blend
/// placing it can then reach out to where the target's rows are aligned and
/// go eight pixels at a time throughout (a clear pixel blended leaves the
/// target as it was).
constexpr int blendMargin = alignedRun - 1;

/// Whether two placements scale and turn alike.
inline bool sameLinear(const QTransform& a, const QTransform& b) {
  return a.m11() == b.m11() && a.m12() == b.m12() && a.m21() == b.m21() && a.m22() == b.m22();
}

/// Whether two placements differ by whole device pixels only.
inline bool sameSubpixel(const QTransform& a, const QTransform& b) {
  const double dx = a.dx() - b.dx(), dy = a.dy() - b.dy();
  return std::fabs(dx - std::round(dx)) < 1e-6 && std::fabs(dy - std::round(dy)) < 1e-6;
}

}  // namespace pf::devicePixels
