#include "platform/gfx/RasterCache.h"

#include "platform/gfx/ContentPainting.h"
#include "platform/gfx/DevicePixels.h"
#include "platform/gfx/LargeImage.h"
#include "platform/gfx/ShadowBlur.h"
#include "platform/gfx/Signature.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace pf {

using devicePixels::blendMargin;
using devicePixels::reachable;
using devicePixels::sameLinear;
using devicePixels::sameSubpixel;
using signature::mix;
using signature::spread;

namespace {

// Contents images whose shown part is remembered, at most.
constexpr std::size_t shownPartsKept = 64;

// Steps of the linear part at which a layer whose scale or rotation animates
// is drawn again: about 3% of its size or 1.8 degrees. Between steps the
// cached image only moves, which costs a plain blit instead of a smoothly
// transformed one, several times cheaper per pixel.
constexpr double linearStep = 1.0 / 32;

// `world` with its linear part rounded to `linearStep`, keeping where the
// layer's anchor lands (a flame standing on its point keeps standing there).
QTransform snapped(const QTransform& world, QPointF anchor) {
  const auto q = [](double v) { return std::round(v / linearStep) * linearStep; };
  const QTransform linear(q(world.m11()), q(world.m12()), q(world.m21()), q(world.m22()), 0, 0);
  const QPointF shift = world.map(anchor) - linear.map(anchor);
  return QTransform(linear.m11(), linear.m12(), linear.m21(), linear.m22(), shift.x(), shift.y());
}

// Whether a layer shown by `world` rather than its model's `model` turns or
// swells about `anchor` with the anchor left where it stands.
bool anchorStays(const QTransform& world, const QTransform& model, QPointF anchor) {
  const QPointF pivot = world.map(anchor) - model.map(anchor);
  return std::fabs(pivot.x()) < 1e-9 && std::fabs(pivot.y()) < 1e-9;
}

// Where an image drawn by `drawn` at `topLeft` lands for `placement`, which
// has its scale and turn: a whole-pixel move.
QPoint placedAt(QPoint topLeft, const QTransform& drawn, const QTransform& placement) {
  return topLeft + QPoint(static_cast<int>(std::lround(placement.dx() - drawn.dx())),
                          static_cast<int>(std::lround(placement.dy() - drawn.dy())));
}

// Where `image` shows anything, a few rows at a time: the runs of columns
// that hold a pixel not wholly transparent in any row of a band, gaps narrower
// than a few pixels closed, bands alike merged. A breathing outline then
// changes only the band along its edges, as wide as its glow, rather than all
// it encloses or the views that lie along it. Empty when every pixel of the
// image lies in a run.
QRegion coverageOf(const QImage& image) {
  constexpr int band = 4;
  constexpr int closedGap = 8;
  const int width = image.width(), height = image.height();
  if (width < 3 * closedGap || height < 3 * band) return {};
  std::vector<QRect> rects;
  std::vector<std::pair<int, int>> runs, previous;
  std::vector<char> shows(static_cast<std::size_t>(width));
  std::size_t previousStart = 0;  // where the previous band's rects begin in `rects`
  bool whole = true;
  for (int top = 0; top < height; top += band) {
    const int bottom = std::min(top + band, height);
    std::fill(shows.begin(), shows.end(), 0);
    for (int y = top; y < bottom; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < width; ++x) shows[static_cast<std::size_t>(x)] |= qAlpha(line[x]) != 0;
    }
    runs.clear();
    for (int x = 0; x < width; ++x) {
      if (!shows[static_cast<std::size_t>(x)]) continue;
      if (!runs.empty() && x - runs.back().second <= closedGap) {
        runs.back().second = x + 1;
      } else {
        runs.emplace_back(x, x + 1);
      }
    }
    whole = whole && runs.size() == 1 && runs.front() == std::pair(0, width);
    if (runs == previous && !runs.empty()) {
      for (std::size_t i = previousStart; i < rects.size(); ++i) rects[i].setBottom(bottom - 1);
      continue;
    }
    previousStart = rects.size();
    for (const auto& [left, right] : runs) rects.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
    previous = runs;
  }
  if (whole) return {};
  QRegion covered;
  covered.setRects(rects.data(), static_cast<int>(rects.size()));
  return covered;
}

}  // namespace

RasterCache::Placed RasterCache::place(const Layer& layer, const LayerContent& content, const Placement& place,
                                       QPointF anchor) {
  // Rasterise at the model's placement, so a move or a fade does not redraw;
  // an animated scale or rotation redraws only when it crosses a step.
  const QTransform& world = place.world;
  const QTransform& model = place.model;
  const bool turning = !sameLinear(world, model);
  QTransform raster = std::fabs(model.determinant()) > 1e-9 ? model : world;
  if (turning) {
    raster = snapped(world, anchor);
    if (std::fabs(raster.determinant()) <= 1e-9) raster = world;
  }
  if (std::fabs(raster.determinant()) <= 1e-9) return {};
  // A picture shows the layer now when it was drawn of the same content, with
  // or without its shadow as now, at this scale and turn, and (unless the
  // layer is turning) at the same place within a pixel.
  const auto shows = [&](const Entry& drawn) {
    return drawn.revision == place.revision && drawn.shadowed == content.hasShadow() &&
           sameLinear(drawn.raster, raster) && (turning || sameSubpixel(drawn.raster, raster));
  };
  const bool inPlace = anchorStays(world, model, anchor);
  auto& entry = m_entries[layer.serial()];
  if (entry.layer.expired() || !shows(entry)) {
    // A morph's stage, or a layer turning about an anchor that stays put (or
    // passing through its model's scale and turn), comes back to this very
    // picture: kept, it is placed then, not drawn. One whose anchor moves
    // would come back at another place within a pixel.
    const bool comesBack = place.staged || (place.moving && inPlace);
    quint64 key =
        mix(mix(mix(spread(layer.serial()), spread(place.revision)), static_cast<quint64>(content.hasShadow())),
            QTransform(raster.m11(), raster.m12(), raster.m21(), raster.m22(), 0, 0));
    if (!turning) key = mix(mix(key, raster.dx() - std::floor(raster.dx())), raster.dy() - std::floor(raster.dy()));
    const Entry* kept = comesBack ? m_steps.find(key, m_frame) : nullptr;
    // Keys are mixed: one that happens to match another layer's picture is not taken.
    if (kept && kept->layer.lock().get() == &layer && shows(*kept)) {
      entry = *kept;
    } else {
      LayerContent drawn = content;
      // Outlining a stroke costs about as much as filling it; the outline does not depend on the placement.
      if (!entry.layer.expired() && entry.revision == place.revision) drawn.strokeOutline = entry.strokeOutline;
      entry = rasterise(layer, std::move(drawn), place.revision, raster, !turning);
      if (comesBack) m_steps.keep(key, entry);
    }
  }
  entry.lastUsed = m_frame;
  if (entry.image.isNull()) return {};
  // The image always has the placement's scale and rotation (it was drawn
  // again otherwise), so placing it is a whole-pixel move.
  const QTransform& placement = turning ? raster : world;
  return Placed{&entry, placedAt(entry.topLeft, entry.raster, placement), !place.moving || inPlace};
}

bool RasterCache::placesAgain(const Layer& layer, const QTransform& world, const QTransform& model, QPointF anchor,
                              qint64 cacheKey, QPoint position) {
  // What `place` answers for a turning layer whose image still shows it, worked out without its content.
  const auto found = m_entries.find(layer.serial());
  if (found == m_entries.end() || sameLinear(world, model)) return false;
  Entry& entry = found->second;
  if (entry.image.cacheKey() != cacheKey || !anchorStays(world, model, anchor)) return false;
  const QTransform raster = snapped(world, anchor);
  if (std::fabs(raster.determinant()) <= 1e-9 || !sameLinear(entry.raster, raster) ||
      placedAt(entry.topLeft, entry.raster, raster) != position) {
    return false;
  }
  entry.lastUsed = m_frame;
  return true;
}

RasterCache::Entry RasterCache::rasterise(const Layer& layer, LayerContent content, quint64 revision,
                                          const QTransform& raster, bool lasting) {
  content.outlineStroke();
  Entry entry;
  entry.strokeOutline = content.strokeOutline;
  entry.layer = layer.weak_from_this();
  entry.revision = revision;
  entry.shadowed = content.hasShadow();
  entry.raster = raster;
  ++m_rasterisations;
  const QRect px = drawnArea(content, raster);
  if (px.isEmpty()) return entry;

  // An image turning or swelling is drawn again at every step: straight into
  // a picture of its own, whose area is already where the image's shown part
  // lands, rather than on the kept canvas to be searched and copied out. It
  // keeps the clear columns all the same: it is blended on every frame it
  // moves or fades, far more often than it is drawn. Such pictures lie on
  // large pages (see sharedPagesImage): a frame of smoke reads hundreds of them.
  if (!lasting && content.isImageOnly()) {
    entry.image = sharedPagesImage(px.size() + QSize(2 * blendMargin, 0), QImage::Format_ARGB32_Premultiplied);
    entry.image.fill(Qt::transparent);
    paintContent(entry.image, QRect(QPoint(blendMargin, 0), px.size()), true, content,
                 raster * QTransform::fromTranslate(blendMargin - px.x(), -px.y()), !content.isFaint());
    entry.topLeft = px.topLeft() - QPoint(blendMargin, 0);
    entry.margin = blendMargin;
    return entry;
  }
  const QImage drawn = drawnWithShadow(content, raster, px, lasting);
  // Bounds are estimated generously (miter joins, shadow reach); every frame
  // blends the whole image, so keep only the part that shows.
  const QRect used = opaqueBounds(drawn, px.size());
  if (used.isEmpty()) return entry;
  // Copied out of the drawn area alone: past it, the kept canvas holds older drawings.
  entry.image = drawn.copy(used.adjusted(-blendMargin, 0, blendMargin, 0));
  entry.topLeft = px.topLeft() + used.topLeft() - QPoint(blendMargin, 0);
  entry.margin = blendMargin;
  if (lasting) entry.coverage = coverageOf(drawn.copy(used)).translated(blendMargin, 0);
  return entry;
}

RasterCache::Drawing RasterCache::draw(LayerContent content, const QTransform& raster) {
  content.outlineStroke();
  ++m_rasterisations;
  const QRect px = drawnArea(content, raster);
  if (px.isEmpty()) return {};
  return {drawnWithShadow(content, raster, px, false), px};
}

QImage RasterCache::drawnWithShadow(const LayerContent& content, const QTransform& raster, QRect px, bool lasting) {
  const QTransform place = raster * QTransform::fromTranslate(-px.x(), -px.y());
  QImage fresh;
  QImage& canvas = canvasFor(px.size(), fresh);
  paintContent(canvas, QRect(QPoint(0, 0), px.size()), true, content, place, !content.isFaint());
  // Read in place rather than copied out: nothing draws on the kept canvas until it is used.
  const QImage drawn =
      &canvas == &fresh ? fresh
                        : QImage(canvas.constBits(), px.width(), px.height(), canvas.bytesPerLine(), canvas.format());
  if (!content.hasShadow()) return drawn;
  const double deviceScale = std::sqrt(std::fabs(raster.determinant()));
  const QPointF offset =
      raster.map(QPointF(content.shadowOffset.width, content.shadowOffset.height)) - raster.map(QPointF(0, 0));
  // A lasting image is mostly drawn again for a new colour, which leaves the blur as it was.
  const auto shadowOf = lasting ? reusedShadowImage : shadowImage;
  QImage withShadow = shadowOf(drawn, offset, content.shadowRadius / 2 * deviceScale, content.shadowTint());
  {
    QPainter p(&withShadow);
    p.drawImage(0, 0, drawn);
  }
  return withShadow;
}

QRect RasterCache::drawnArea(const LayerContent& content, const QTransform& raster) {
  const double reach = content.shadowReach();
  const QRectF local = content.localBounds().adjusted(-reach, -reach, reach, reach);
  const QRect area = raster.mapRect(local).toAlignedRect().adjusted(-1, -1, 1, 1).intersected(reachable(m_pixels));
  if (!content.isImageOnly()) return area;
  // An image is mostly drawn again and again at the steps of an animated
  // scale: where its transparent margins land is left out from the start,
  // rather than cleared, drawn and searched each time.
  const QRectF part = shownPart(content.contents);
  if (part.isEmpty()) return {};
  return raster.mapRect(content.imagePlacement().mapRect(part)).toAlignedRect().intersected(area);
}

QRectF RasterCache::shownPart(const QImage& image) {
  const auto known = m_shownParts.find(image.cacheKey());
  if (known != m_shownParts.end()) return known->second;
  // The few images drawn this way (textures) are each searched once; any
  // number of others must not pile up.
  if (m_shownParts.size() >= shownPartsKept) m_shownParts.clear();
  const QImage pixels = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // Smoothing spreads each pixel over its neighbours; a wholly transparent image shows nowhere.
  const QRect shown = opaqueBounds(pixels, pixels.size());
  const QRectF part = shown.isEmpty() ? QRectF() : QRectF(shown).adjusted(-1, -1, 1, 1);
  m_shownParts.emplace(image.cacheKey(), part);
  return part;
}

void RasterCache::sweep() {
  // Images are looked through every few frames, not every frame: hundreds
  // of them, nearly all in use, lie scattered in memory, and looking at each
  // misses the cache.
  if (m_frame % 16 == 0) {
    std::erase_if(m_entries,
                  [&](const auto& kv) { return kv.second.layer.expired() || m_frame - kv.second.lastUsed > lifetime; });
  }
  // Kept steps are many more: looked through more rarely still.
  if (m_frame % 64 == 0) m_steps.sweep(m_frame);
}

void RasterCache::clear() {
  m_entries.clear();
  m_steps.clear();
}

}  // namespace pf
