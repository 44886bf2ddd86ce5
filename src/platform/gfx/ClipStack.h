#pragma once

#include "platform/gfx/Path.h"
#include "platform/gfx/Presentation.h"

#include <QPainterPath>
#include <QRect>
#include <QRegion>
#include <QTransform>
#include <optional>
#include <vector>

namespace pf {

/// The clips of one frame, in the order the tree is visited, each within its
/// parent; items name theirs by index. A clip made last frame is taken again
/// when it comes at the same place in the list with the same signature (its
/// mask's identity and its parent's) and the target kept its size, so a still
/// mask's shape is not turned into paths and regions again every frame.
class ClipStack final {
 public:
  /// What a layer and the clips above it let through, in device pixels.
  struct Clip {
    int parent = -1;                  ///< index of the clip it lies within; -1 for none
    std::optional<QRegion> region;    ///< when every clip up the chain is made of axis-aligned rects
    std::vector<QPainterPath> paths;  ///< otherwise, every one of them lets through
    QRect bounds;                     ///< within the target
    quint64 signature = 0;            ///< of its identity and its parent's
  };

  /// Starts a frame for a target `pixels` large: this frame's clips become
  /// last frame's, taken again only when `keepsLast` (the target kept its size).
  void beginFrame(QSize pixels, bool keepsLast);
  /// Lets go of last frame's clips, so that no path is held longer than it shows.
  void releaseLast() { m_last.clear(); }
  /// Forgets every clip.
  void clear() { m_clips.clear(); }

  /// The clip of a layer that masks to its (rounded) bounds, `world` placing the layer.
  int boundsClip(const LayerPresentation& shown, const QTransform& world, int parent);
  /// The clip of `mask` as `shown` now, `maskWorld` placing it; `frame` tells
  /// apart the clips of a mask whose content animates.
  int maskClip(const Layer& mask, const LayerPresentation& shown, const QTransform& maskWorld, int parent,
               quint64 frame);

  /// This frame's clip at `index`.
  const Clip& operator[](int index) const { return m_clips[static_cast<std::size_t>(index)]; }
  /// This frame's clips.
  const std::vector<Clip>& clips() const { return m_clips; }
  /// Last frame's clips, until released.
  const std::vector<Clip>& lastClips() const { return m_last; }
  /// True when `clip` cuts nothing of `rect`.
  bool spares(int clip, QRect rect) const;
  /// True when `region` holds every pixel of `rect`.
  static bool covers(const QRegion& region, QRect rect);

 private:
  quint64 signature(quint64 identity, int parent) const;
  /// Last frame's clip of this identity, when it comes at the same place; -1 otherwise.
  int kept(quint64 identity, int parent);
  /// `identity` tells this clip from others between frames, apart from its parent.
  int clipTo(const Path& shape, FillRule rule, const QTransform& maskWorld, quint64 identity, int parent);

  std::vector<Clip> m_clips;
  std::vector<Clip> m_last;
  QSize m_pixels;
  bool m_keepsLast = false;  // last frame's clips were made for this target size
};

}  // namespace pf
