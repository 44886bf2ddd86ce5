#pragma once

#include "platform/gfx/ClipStack.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/LayerContent.h"
#include "platform/gfx/MorphStager.h"
#include "platform/gfx/RasterCache.h"
#include "platform/gfx/StepImages.h"

#include <QPainter>
#include <QRegion>
#include <QTransform>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

namespace pf {

/// Draws a layer tree with QPainter the way a compositor does. Each layer's
/// own content (background, image, fill, stroke, border, gradient and blurred
/// shadow) is rasterised once into a cached image, and again only when what it
/// draws changes; a frame then only places the cached images with their
/// animated position and opacity. A layer whose scale or rotation animates is
/// drawn again only when that crosses a step of about 3%, and placed as a
/// plain blit in between. A shape that morphs without end ("path") is drawn at
/// a few stages of each pass, spaced evenly in its progress, and its image
/// reused between them. Pictures a layer comes back to each cycle (a morph's
/// stages, a turn or swell about an anchor that stays put) are kept, within a
/// budget, and placed again rather than drawn.
/// Layers whose drawn content otherwise animates ("strokeEnd", colours...) are
/// drawn afresh into an image each frame they draw otherwise, with a cheaper
/// stand-in for their shadow; a stroke whose end alone moves, only where it
/// moved. All drawing stays on the calling thread. A layer that nothing
/// animates, under a superlayer placed as before, is placed as in the last
/// frame without being evaluated again.
///
/// A layer with sublayers that fades (its opacity below 1 or animated) or casts
/// a shadow is a group: it and its sublayers are composited into one image,
/// which fades and casts the shadow as a whole. The tree's root is never a
/// group: its opacity is the whole picture's. Members that only morph change
/// together, so they are drawn straight into the group's image at each stage.
///
/// A frame is two steps: `prepare` evaluates the tree at a time, refreshes the
/// caches and answers what changed since the last frame (so a host can flush
/// only that); `paint` composites the prepared frame, clipped to a region.
///
/// Choices where the platform differs or was silent: a border lies under the
/// sublayers; masks clip by the mask's shape (a shape mask's path with its fill
/// rule, otherwise its bounds), without partial transparency.
class LayerRenderer final {
 public:
  struct Stats {
    int rasterisations = 0;    ///< cached images drawn (again)
    int directDraws = 0;       ///< layers drawn afresh because their content animates
    int strokeEndRedraws = 0;  ///< of those, drawn again only where a stroke's end moved
    int composited = 0;        ///< items placed by the last `paint`
  };

  /// Evaluates `root` at time `t` for a target `size` points large at
  /// `scale` device pixels per point, y up (the tree's origin at the target's
  /// bottom left). Returns the changed area in device pixels, y down: only
  /// where a changed layer can show (inside its mask, where its image is not
  /// transparent).
  QRegion prepare(const Layer& root, double t, QSizeF size, double scale = 1);
  /// Composites the prepared frame onto `painter` (whose coordinates are
  /// device pixels divided by the scale), only inside `region` (device pixels).
  void paint(QPainter& painter, const QRegion& region) const;

  /// False leaves the root layer's background, image and shadow to whoever
  /// draws beneath the tree (a view's own layer, whose drawing lies between
  /// them and its sublayers); the root's border and sublayers are still drawn.
  void setDrawsRootBackdrop(bool draws) { m_drawsRootBackdrop = draws; }

  /// True when the last prepared tree had animations still running.
  bool isAnimating() const { return m_animating; }
  /// Forgets every cached image and the last frame, so the next frame is drawn whole.
  void reset();

  const Stats& stats() const { return m_stats; }

 private:
  using Clip = ClipStack::Clip;
  struct Item {
    quint64 serial = 0;
    QImage image;
    QPoint position;        // where the image's top left lies, in device pixels
    bool comesBack = true;  // the same picture shows again later (not animated content, nor turning on the move)
    double opacity = 1;
    int clip = -1;
    QRect rect;        // where the image may show: all of it but the clear columns it keeps at its sides
    QRegion coverage;  // the image's covered pixels, from its top left; empty: all of `rect`
    quint64 signature = 0;
    bool cutToClip = false;  // the image already holds only what its clip's paths let through
    // A picture drawn again only in part (a group's, a stroke's whose end
    // moved): the signature last frame's item had when this one shows the
    // same outside `patch` (device pixels).
    quint64 patchedFrom = 0;
    std::vector<QRect> patch;
  };
  /// The last picture of content that animates, kept while it draws alike.
  struct AfreshEntry {
    std::weak_ptr<const Layer> layer;
    LayerContent content;  // as evaluated, before its stroke was outlined
    QTransform world;
    QImage image;
    QPoint topLeft;
    quint64 lastUsed = 0;
  };
  /// An item's image cut to a clip of paths, kept while the item shows it.
  struct CutImage {
    QImage image;  // none on the first frame it is seen
    quint64 lastUsed = 0;
  };

  struct MorphMembers;
  /// What is worked out of a layer alone, kept while its revision stays.
  struct Memo {
    quint64 serial = 0;  // of its layer
    quint64 revision = 0;
    bool morphs = false;           // an endless "path" animation may stage its drawing
    bool animatesContent = false;  // some animation changes what it draws
    /// A still layer as last placed: reused while its superlayer places it the
    /// same way, or turns or swells it within one step of its picture.
    struct Still {
      QTransform parentWorld;
      QTransform parentModel;
      QTransform world;
      QTransform model;
      QTransform local;          // its own coordinates to its superlayer's
      QPointF anchor;            // what it turns about, in its coordinates
      std::optional<Item> item;  // before opacity and clip, when it shows anything
      qint64 imageKey = 0;       // the item's image's, kept here as reading it costs a cache miss a frame
    };
    std::unique_ptr<Still> still;  // apart, so the memos of a frame lie close together
    /// A group's sublayers as last looked at for shapes that only morph.
    std::unique_ptr<MorphMembers> morphMembers;
    /// Where the model puts an animated layer that its animations move (its
    /// coordinates to its superlayer's), worked out on the first frame that needs it.
    std::unique_ptr<QTransform> modelLocal;
    /// What a layer whose animations change nothing it draws draws, made on the first frame that needs it.
    std::unique_ptr<LayerContent> content;
  };
  /// A layer's sublayers composited into one image with its own content.
  struct GroupEntry {
    std::weak_ptr<const Layer> layer;
    quint64 signature = 0;  // of the members and the shadow it was composed from
    QImage image;
    QPoint topLeft;
    QPoint origin;   // the top left of the area it was composed in
    QMargins clear;  // clear columns its image keeps at its sides, outside what shows
    quint64 lastUsed = 0;
    /// A member as the picture last placed shows it.
    struct Shown {
      quint64 serial = 0;
      quint64 signature = 0;
      QRect rect;
    };
    std::vector<Shown> shown;  // none for a picture not placed yet
    QPoint shownAt;            // where its image's top left lay when last placed
    // A patched picture differs from the one it was patched from only inside
    // `changed` (device pixels); one patched in place, from the image that had
    // `carriedFrom` for its key, lies where that one lay and is as large.
    std::vector<QRect> changed;
    qint64 carriedFrom = 0;
    // The patched picture's picture before, no longer shown: the next patch
    // takes its memory and paint engine, and copies into it only what changed since.
    QImage spare;
  };
  using Placement = RasterCache::Placement;

  /// `moving`: some superlayer animates.
  void visit(const Layer& layer, const QTransform& parentWorld, const QTransform& parentModel, double parentOpacity,
             int clip, bool moving);
  /// A layer as evaluated this frame, before its clip and content.
  struct Pose {
    std::optional<MorphStager::Step> step;  // the stage of an endless morph it is drawn at
    bool redrawn = false;                   // its content animates: drawn afresh each frame it draws otherwise
    LayerPresentation model;                // left empty for a layer that nothing animates: `shown` is its model
    LayerPresentation shown;
    QTransform local;  // as shown now
    QTransform world;
    QTransform modelWorld;
  };
  /// Places a layer and its sublayers as last frame, from its memo, when
  /// nothing of it or above it moved; false when it must be evaluated.
  bool placedAsBefore(const Layer& layer, Memo& memo, const QTransform& parentWorld, const QTransform& parentModel,
                      double parentOpacity, int clip, bool moving);
  /// Whether a still layer with nothing under it, turned or swollen by its
  /// superlayer now placed by `parentWorld`, shows its memo's item as it is;
  /// the memo then takes the new placement.
  bool turnsWithinStep(const Layer& layer, Memo::Still& still, const QTransform& parentWorld);
  /// The layer's presentation and placements now (noting whether it asks for more frames).
  Pose evaluate(const Layer& layer, Memo& memo, const QTransform& parentWorld, const QTransform& parentModel);
  /// The clip the layer's sublayers are seen through, within `clip`; none when it lets nothing through.
  std::optional<int> clipWithin(const Layer& layer, const Pose& pose, int clip);
  /// What the layer draws, as its stage shows it: kept in its memo when that
  /// stays the same from frame to frame, else made in `fresh`.
  const LayerContent& contentOf(const Layer& layer, Memo& memo, const Pose& pose,
                                std::optional<LayerContent>& fresh) const;
  LayerContent contentOf(const Layer& layer, const Pose& pose) const;
  /// Composes a group into one image, seen at `opacity` through `outerClip`;
  /// its members are seen through `clip`.
  void visitGroup(const Layer& layer, std::size_t memo, const LayerContent& content, const Placement& place,
                  double opacity, int outerClip, int clip);
  /// Whether the layer's sublayers are composited with it as one image (for its opacity or its shadow).
  bool isGroup(const Layer& layer) const;
  /// Where in `m_memos` the layer's memo now is, worked out again when the layer changed.
  std::size_t memoFor(const Layer& layer);
  /// Whether a layer's placement may be kept in its memo, to be reused while
  /// its revision and its superlayer's placement stay (a group's never is).
  bool placesFromMemo(const Layer& layer) const;
  /// The layer's own item, before opacity and clip; none when it shows nothing.
  std::optional<Item> itemFor(const Layer& layer, const LayerContent& content, const Placement& place);
  /// Appends an item with something to show, seen at `opacity` through `clip`.
  void push(Item item, double opacity, int clip);
  Item composeGroup(const Layer& layer, const LayerContent& content, const QTransform& world,
                    const std::vector<Item>& members);
  /// A member of a group whose sublayers are all plain shapes that only morph, at its stage.
  struct Morph {
    const Layer* layer = nullptr;
    double time = 0;  // when its stage's content is evaluated
    quint64 key = 0;  // the same for every time that draws the same content
    QTransform world;
    double opacity = 1;
  };
  /// The members of a group whose sublayers are all plain shapes that only
  /// morph (they change together, so each stage draws them straight into the
  /// group's image), the shown ones at this frame's stages; none when the
  /// group is not such a one. They are kept in the group's memo.
  MorphMembers* straightMorphs(const Layer& layer, Memo& memo, const LayerContent& content, const QTransform& world,
                               const QTransform& model);
  /// The group's sublayers looked at for shapes that only morph, the group placed by `world`.
  std::unique_ptr<MorphMembers> morphMembersOf(const Layer& layer, const QTransform& world);
  Item composeMorphs(const Layer& layer, MorphMembers& members);
  /// What `morphMembersOf` finds: kept while the group is placed as then and
  /// none of its sublayers changed, so that a frame works out only their stages.
  struct MorphMembers {
    QTransform world;                              // the group's
    std::vector<quint64> revisions;                // of every sublayer, in order
    bool straight = false;                         // every sublayer a plain shape that only morphs
    std::vector<Morph> shown;                      // of those, the ones that show, at last frame's stages
    std::vector<MorphStager::Morphing> morphings;  // how each shown one morphs
    std::vector<char> stagedAsBefore;              // each shown one reaches its stages with the one before it
    quint64 signature = 0;                         // of the shown ones and where they lie, but their stages
    GroupEntry picture;                            // the last one composed of them
  };
  /// The group's picture of `signature`: kept from an earlier step, or composed now (and kept when it
  /// `comesBack`: its signature names the same picture wherever the group lies).
  GroupEntry groupAtStep(const Layer& layer, quint64 signature, bool comesBack,
                         const std::function<GroupEntry()>& compose);
  GroupEntry drawMorphs(const std::vector<Morph>& members);
  /// A composed image cut to what shows in it; `topLeft` places the uncut
  /// image. `alignedSides`: it keeps clear columns at its sides, out to where
  /// the target's rows are aligned, so that blends placing it where it was
  /// drawn go eight pixels at a time.
  GroupEntry trimmed(QImage image, QPoint topLeft, bool alignedSides = false) const;
  /// `shows` (device pixels) widened at its sides to where the target's rows are aligned.
  QRect widenedToAlignment(QRect shows) const;
  GroupEntry composeMembers(const std::vector<Item>& members, QRect area, bool shadowed, QPointF offset, double sigma,
                            const QColor& tint);
  /// Where a group's picture, last placed as `last` shows, can differ now that
  /// it is composed of `members`: rects that do not overlap (device pixels);
  /// none when it is worth composing whole.
  std::optional<std::vector<QRect>> changedParts(const GroupEntry& last, QPoint lastAt,
                                                 const std::vector<Item>& members, QRect area) const;
  /// The group's last picture (its top left at `lastAt`) carried over to
  /// `area`, with `members` composed again inside `parts` alone; drawn on
  /// `last`'s spare image when it has one of that size. Its `changed` are the
  /// parts, those within both pictures narrowed to the pixels that differ.
  GroupEntry patched(GroupEntry& last, QPoint lastAt, const std::vector<Item>& members, QRect area,
                     const std::vector<QRect>& parts);
  /// Makes `item` the image of content that animates: drawn anew, unless it draws as last frame.
  void drawAfresh(const Layer& layer, const LayerContent& content, const QTransform& world, Item& item);
  /// Draws the whole of `content` into `last`'s image.
  void drawWhole(const LayerContent& content, const QTransform& world, AfreshEntry& last);
  /// Draws again only the part of `last`'s image that a stroke's end moved
  /// across, when that alone changed, and answers that part (device pixels);
  /// none when it must be drawn whole.
  std::optional<QRect> redrawStrokeEnd(const LayerContent& content, const QTransform& world, AfreshEntry& last);
  QRegion damage(const std::vector<Item>& previous, const std::vector<Clip>& previousClips) const;
  /// Swaps the images of placed items seen through paths for images cut to them, once they show alike twice.
  void cutToClips();
  static QImage cut(const Item& item, const Clip& clip);
  /// The region of the item's clip when that clip is made of rects alone; null otherwise.
  const QRegion* rectClipOf(const Item& item) const;
  /// Draws an item inside `region` (device pixels, already within its clip
  /// when that is a region) through its clip's paths, the painter mapping
  /// device pixels; false when nothing of it lies there.
  bool composite(QPainter& painter, const QRegion& region, const Item& item) const;
  /// Draws `items`, all seen through the same clip of no paths, inside
  /// `region` (device pixels, already within that clip), the painter mapping
  /// device pixels. Returns how many drew anything.
  int compositeRun(QPainter& painter, const QRegion& region, std::span<const Item> items) const;

  double m_time = 0;
  double m_scale = 1;
  QSize m_pixels;
  quint64 m_frame = 0;
  bool m_animating = false;
  bool m_drawsRootBackdrop = true;
  const Layer* m_root = nullptr;
  RasterCache m_raster;
  std::unordered_map<quint64, GroupEntry> m_groups;
  std::unordered_map<quint64, AfreshEntry> m_afresh;
  // Pictures at steps the layers come back to, beside the last one each drew.
  StepImages<GroupEntry> m_groupSteps;  // by group and signature
  // Memos in the order their layers were visited, this frame and last: a
  // tree visited in the same order as before finds each in turn, next to
  // the one before, rather than looking it up.
  std::vector<Memo> m_memos;
  std::vector<Memo> m_lastMemos;
  std::size_t m_memoCursor = 0;                              // where in `m_lastMemos` the next layer's memo is expected
  std::unordered_map<quint64, std::size_t> m_lastMemoIndex;  // by serial, made only when the order changed
  ClipStack m_clips;
  MorphStager m_morphs;
  std::unordered_map<quint64, CutImage> m_cutImages;  // by image, placement and clip
  std::vector<Item> m_items;
  std::vector<Item> m_previousItems;
  /// A slot of the table that finds last frame's item of a serial while the
  /// damage is worked out; the table is kept from frame to frame for its capacity.
  struct LastItemSlot {
    quint64 serial = 0;
    std::size_t index = 0;  // in last frame's items, plus one; 0 for an empty slot
  };
  mutable std::vector<LastItemSlot> m_lastItemSlots;
  std::vector<std::vector<Item>> m_spareMembers;  // emptied lists of a group's members, kept for their capacity
  quint64 m_below = 0;  // the layer drawn just before, so a change of order counts as a change
  mutable Stats m_stats;
  // A column at which every row of the target last painted on starts a run
  // of pixels Qt blends at once; -1 when that could not be told.
  mutable int m_alignedColumn = -1;
};

}  // namespace pf
