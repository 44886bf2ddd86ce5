#include "platform/gfx/ClipStack.h"

#include "platform/gfx/PainterPath.h"
#include "platform/gfx/ShapeLayer.h"
#include "platform/gfx/Signature.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pf {

using signature::mix;

namespace {

// The rects of a path made only of axis-aligned rectangles, else none.
std::optional<std::vector<QRectF>> rectsOf(const Path& path) {
  std::vector<QRectF> rects;
  const auto& els = path.elements();
  std::size_t i = 0;
  while (i < els.size()) {
    if (els[i].type != Path::ElementType::move || i + 4 >= els.size()) return std::nullopt;
    std::vector<Point> pts{els[i].points[0]};
    std::size_t j = i + 1;
    for (; j < els.size() && els[j].type == Path::ElementType::line; ++j) pts.push_back(els[j].points[0]);
    if (j >= els.size() || els[j].type != Path::ElementType::close) return std::nullopt;
    if (pts.size() == 5 && pts.back() == pts.front()) pts.pop_back();
    if (pts.size() != 4) return std::nullopt;
    for (std::size_t k = 0; k < 4; ++k) {
      const Point a = pts[k], b = pts[(k + 1) % 4];
      if (a.x != b.x && a.y != b.y) return std::nullopt;
    }
    QRectF r(QPointF(pts[0].x, pts[0].y), QPointF(pts[2].x, pts[2].y));
    rects.push_back(r.normalized());
    i = j + 1;
  }
  return rects;
}

}  // namespace

void ClipStack::beginFrame(QSize pixels, bool keepsLast) {
  m_pixels = pixels;
  m_keepsLast = keepsLast;
  // Last frame's list is kept for its capacity.
  std::swap(m_clips, m_last);
  m_clips.clear();
}

int ClipStack::maskClip(const Layer& mask, const LayerPresentation& shown, const QTransform& maskWorld, int parent,
                        quint64 frame) {
  quint64 identity = mix(mix(mask.serial(), mask.contentRevision()), maskWorld);
  if (animatesContent(mask)) identity = mix(identity, static_cast<double>(frame));
  if (const int taken = kept(identity, parent); taken >= 0) return taken;
  Path shape;
  FillRule rule = FillRule::nonZero;
  if (mask.kind() == Layer::Kind::shape && !shown.path.isEmpty()) {
    shape = shown.path;
    rule = static_cast<const ShapeLayer&>(mask).fillRule();
  } else if (shown.bounds.isFinite() && !shown.bounds.isEmpty()) {
    shape = Path::roundedRect(shown.bounds, shown.cornerRadius, shown.cornerRadius);
  }
  return clipTo(shape, rule, maskWorld, identity, parent);
}

int ClipStack::boundsClip(const LayerPresentation& shown, const QTransform& world, int parent) {
  const Rect b = shown.bounds.isFinite() ? shown.bounds.standardized() : Rect();
  const double r = std::isfinite(shown.cornerRadius) ? std::max(0.0, shown.cornerRadius) : 0.0;
  const quint64 identity =
      mix(mix(mix(mix(mix(mix(0, b.origin.x), b.origin.y), b.size.width), b.size.height), r), world);
  if (const int taken = kept(identity, parent); taken >= 0) return taken;
  Path shape;
  if (!b.isEmpty()) shape = r > 0 ? Path::roundedRect(b, r, r) : Path::rect(b);
  return clipTo(shape, FillRule::nonZero, world, identity, parent);
}

bool ClipStack::spares(int clip, QRect rect) const {
  if (clip < 0) return true;
  const Clip& c = (*this)[clip];
  if (c.region) return covers(*c.region, rect);
  return std::ranges::all_of(c.paths, [&](const QPainterPath& path) { return path.contains(QRectF(rect)); });
}

// A region's rects never overlap, so they cover `rect` exactly when their
// parts within it add up to its area. Asked for every member of every group
// each frame, where subtracting one region from another would make two; the
// parts are measured inline, as Qt's intersection of rects is a call each.
bool ClipStack::covers(const QRegion& region, QRect rect) {
  if (rect.isEmpty()) return true;
  if (!region.boundingRect().contains(rect)) return false;
  qint64 covered = 0;
  for (const QRect& r : region) {
    const int width = std::min(r.right(), rect.right()) - std::max(r.left(), rect.left()) + 1;
    const int height = std::min(r.bottom(), rect.bottom()) - std::max(r.top(), rect.top()) + 1;
    if (width > 0 && height > 0) covered += qint64{width} * height;
  }
  return covered == qint64{rect.width()} * rect.height();
}

quint64 ClipStack::signature(quint64 identity, int parent) const {
  return mix(parent >= 0 ? (*this)[parent].signature : 1, identity);
}

// Clips are made in the order the tree is visited, so a still mask's clip
// sits where it sat last frame; taken from there, its shape is not turned
// into paths and regions again every frame.
int ClipStack::kept(quint64 identity, int parent) {
  const std::size_t next = m_clips.size();
  if (!m_keepsLast || next >= m_last.size()) return -1;
  const Clip& before = m_last[next];
  if (before.parent != parent || before.signature != signature(identity, parent)) return -1;
  m_clips.push_back(before);
  return static_cast<int>(next);
}

int ClipStack::clipTo(const Path& shape, FillRule rule, const QTransform& maskWorld, quint64 identity, int parent) {
  Clip c;
  c.parent = parent;
  const Clip* up = parent >= 0 ? &(*this)[parent] : nullptr;
  c.signature = signature(identity, parent);
  const QRect target(QPoint(0, 0), m_pixels);
  const bool axisAligned = maskWorld.m12() == 0 && maskWorld.m21() == 0;
  const auto rects = axisAligned ? rectsOf(shape) : std::nullopt;
  if (rects && (!up || up->region)) {
    // Clipping to a region of rects is far cheaper per pixel than to a path.
    QRegion region;
    for (const QRectF& r : *rects) {
      const QRegion piece(maskWorld.mapRect(r).toRect());
      region = rule == FillRule::evenOdd ? region.xored(piece) : region.united(piece);
    }
    c.region = up ? region.intersected(*up->region) : region;
    c.bounds = c.region->boundingRect().intersected(target);
  } else {
    if (up) {
      c.paths = up->paths;
      if (up->region) {
        QPainterPath fromRegion;
        fromRegion.addRegion(*up->region);
        c.paths.push_back(fromRegion);
      }
    }
    QPainterPath path = maskWorld.map(toQPainterPath(shape, rule));
    c.bounds = path.boundingRect().toAlignedRect().intersected(up ? up->bounds : target);
    c.paths.push_back(std::move(path));
  }
  m_clips.push_back(std::move(c));
  return static_cast<int>(m_clips.size()) - 1;
}

}  // namespace pf
