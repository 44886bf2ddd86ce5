#pragma once

#include "platform/gfx/LayerContent.h"

#include <QImage>
#include <QRect>
#include <QTransform>

// How a layer's content is drawn without Qt's worker threads. Qt's raster
// engine hands every blend of 96 spans or more to worker threads and waits for
// them; an antialiased shape makes several spans a row, so no strip of rows
// keeps it below that. A fill of one colour that replaces what lies beneath is
// the exception: it is always blended on this thread. So every part of a
// content is drawn that way, each on a clear canvas, and blended onto the
// image as a whole, which Qt copies without spans. An image or a gradient is
// drawn in strips of rows instead, each with a few spans a row at most (an
// upright image one, an antialiased rect three).

namespace pf {

/// Canvases of the size kept: a content's image, and a part of it drawn alone.
enum class KeptCanvas { content, part };

/// A canvas at least `size` large, transparent within `size` from its top
/// left: the one kept for `which` when `size` is small, else `fresh`.
QImage& canvasFor(QSize size, QImage& fresh, KeptCanvas which = KeptCanvas::content);

/// Draws `content` into `image` within `area` (image pixels), `place` mapping
/// the layer's coordinates to the image's, every part on this thread.
/// `clear`: nothing lies within `area` yet. `withShadow` adds the cheap
/// stand-in for the shadow.
void paintContent(QImage& image, QRect area, bool clear, const LayerContent& content, const QTransform& place,
                  bool antialiased, bool withShadow = false);

/// The smallest rect holding every pixel of `image` that is not fully
/// transparent, within its top-left `size`.
QRect opaqueBounds(const QImage& image, QSize size);

}  // namespace pf
