#pragma once

#include "platform/gfx/Layer.h"
#include "platform/gfx/LayerContent.h"
#include "platform/gfx/Presentation.h"
#include "platform/gfx/StepImages.h"

#include <QImage>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

namespace pf {

/// Each layer's content drawn once into an image and reused while it shows
/// the layer as now: the same content revision, with or without its shadow as
/// now, the same linear part of its raster transform and, unless the layer is
/// turning, the same placement within a pixel. A turning layer is drawn at the
/// nearest step of its scale and rotation. Pictures a layer comes back to (a
/// morph's stages, a turn or swell about an anchor that stays put) are kept
/// beside the last one, within a budget the process shares.
class RasterCache final {
 public:
  /// Images of layers not placed for this many frames are dropped (within a few frames more).
  static constexpr quint64 lifetime = 300;

  /// A layer's content drawn into an image.
  struct Entry {
    std::weak_ptr<const Layer> layer;  ///< whose content it is
    quint64 revision = 0;              ///< what the layer drew: its content revision, and the step of a morph
    bool shadowed = false;             ///< drawn with the layer's shadow (a group casts it instead)
    QTransform raster;                 ///< layer coordinates to device pixels at rasterisation
    QImage image;                      ///< cut to where it is not transparent, `margin` clear columns either side
    QPoint topLeft;                    ///< where the image sat in device pixels then
    int margin = 0;                    ///< clear columns kept at either side, for the blends placing it
    QRegion coverage;                  ///< image pixels that are not transparent; empty when not worked out
    quint64 lastUsed = 0;              ///< the frame it was last placed in
    /// The stroke's outline it was drawn with, in the layer's coordinates: the
    /// same at every step of a scale or turn, so drawn again it is reused.
    std::optional<QPainterPath> strokeOutline;
  };
  /// Where a layer lands this frame.
  struct Placement {
    const QTransform& world;         ///< as shown now
    const QTransform& model;         ///< as the model places it
    bool redrawn = false;            ///< its content animates: drawn afresh, not cached
    const LayerPresentation& shown;  ///< its values now
    quint64 revision = 0;            ///< what the layer draws: its content revision, and the step of a morph
    bool staged = false;             ///< at a stage of an endless morph, which it comes back to
    bool moving = false;             ///< it or a superlayer animates: its placement may change
  };
  /// A cached image placed for this frame.
  struct Placed {
    const Entry* entry = nullptr;  ///< none when the layer draws nothing at this placement
    QPoint position;               ///< where the image's top left lies, in device pixels
    bool comesBack = true;         ///< the same picture shows again later (not turning on the move)
  };

  /// Starts frame number `frame` for a target `pixels` large.
  void beginFrame(quint64 frame, QSize pixels) {
    m_frame = frame;
    m_pixels = pixels;
  }
  /// The layer's image for `place`, kept or drawn now; `anchor` is the point
  /// a turning layer turns about, in its coordinates.
  Placed place(const Layer& layer, const LayerContent& content, const Placement& place, QPointF anchor);
  /// Whether the layer, last placed on the image of `cacheKey` at `position`
  /// and drawing as then, is placed there on that very image when shown by
  /// `world` (its model's placement `model` unchanged): it turns or swells
  /// within one step, about an anchor (`anchor`) that stays put. Marks the
  /// image used then, as placing it would.
  bool placesAgain(const Layer& layer, const QTransform& world, const QTransform& model, QPointF anchor,
                   qint64 cacheKey, QPoint position);
  /// A content drawn for a caller that blends it once, not cut to what shows.
  struct Drawing {
    QImage image;  ///< may lie on a canvas the next drawing reuses: blend it before drawing anything else
    QRect rect;    ///< where it lies, in device pixels
  };
  /// Draws `content` placed by `raster`, its shadow beneath it, on a picture
  /// of every pixel it may reach.
  Drawing draw(LayerContent content, const QTransform& raster);
  /// Drops, every few frames, images of layers gone or not placed for a while.
  void sweep();
  /// Forgets every image.
  void clear();
  /// Images drawn since last asked.
  int takeRasterisations() { return std::exchange(m_rasterisations, 0); }

 private:
  /// Draws `content` placed by `raster` into an image cut to what shows.
  /// `lasting`: the image will be placed for many frames, worth finding where it is transparent.
  Entry rasterise(const Layer& layer, LayerContent content, quint64 revision, const QTransform& raster, bool lasting);
  /// Where `content` placed by `raster` can leave a mark, in device pixels.
  QRect drawnArea(const LayerContent& content, const QTransform& raster);
  /// `content` placed by `raster` drawn on a picture of `px` (device pixels),
  /// its shadow beneath it; without one it may lie on the kept canvas.
  static QImage drawnWithShadow(const LayerContent& content, const QTransform& raster, QRect px, bool lasting);
  /// The part of a contents image that shows anything, in its pixels, grown by
  /// what smoothing spreads; empty when nothing of it shows.
  QRectF shownPart(const QImage& image);

  quint64 m_frame = 0;
  QSize m_pixels;
  int m_rasterisations = 0;
  std::unordered_map<quint64, Entry> m_entries;     // by layer
  StepImages<Entry> m_steps;                        // by layer, content and step, beside the last one each drew
  std::unordered_map<qint64, QRectF> m_shownParts;  // by contents image
};

}  // namespace pf
