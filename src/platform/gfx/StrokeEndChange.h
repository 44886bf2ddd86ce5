#pragma once

#include "platform/gfx/LayerContent.h"

#include <QRect>
#include <QTransform>
#include <optional>

namespace pf {

/// A stroke whose end alone moved since it was drawn (a vine growing or
/// withdrawing): where its picture can have changed, and what to draw there,
/// so that only that part is drawn again, to the same pixels as the whole.
///
/// Why the pixels match: an antialiased pixel's coverage depends only on the
/// outline's edges within it and on the winding number there. Two trims of one
/// open path share every element up to the last one both hold whole, and the
/// stroker outlines each element from it and its neighbours alone, so the two
/// outlines differ only near the rest (`area`); outside it both pictures are
/// the same. Inside it, the elements far enough back that all they outline
/// lies clear of `area` change neither the edges there nor, being closed and
/// wholly to one side, the winding: the stroke from a vertex past them
/// (`content`) draws the same pixels there as the whole stroke.
struct StrokeEndChange {
  QRect area;            ///< device pixels where the two pictures can differ
  LayerContent content;  ///< the stroke now, from a vertex clear of `area`: to be drawn inside it

  /// The change from `before` to `now`, placed by `world`, within `bounds`
  /// (device pixels). None unless the content is a lone stroke of one open
  /// subpath and only its end moved.
  static std::optional<StrokeEndChange> between(const LayerContent& before, const LayerContent& now,
                                                const QTransform& world, QRect bounds);
};

}  // namespace pf
