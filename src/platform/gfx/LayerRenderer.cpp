// How this renderer stays correct while it caches. Change nothing below
// without keeping these true.
//
// Transforms. `world` maps a layer's coordinates to device pixels, y down, as
// the layer is shown now (animations applied); `model` maps them the same way
// with the animations left out, as the model places the layer. Both end in
// `base` (points, y up, to device pixels, y down). Clips and item rects are in
// device pixels.
//
// Translation-only. Every item is an image placed by a whole-pixel offset and
// blitted without smoothing: it is drawn again whenever the linear part
// (scale, rotation) it is shown with changes, a turning layer's snapped to a
// step. Content that animates is drawn afresh into an image whenever it
// draws otherwise than last frame (or lies otherwise within a pixel); a
// stroke whose end alone moved, placed exactly as last frame, is drawn again
// only where the end moved, onto last frame's picture (see StrokeEndChange
// for why those pixels are the ones a whole drawing gives).
//
// One thread. Nothing is handed to Qt's worker threads (see paintContent):
// every part of a content is drawn alone on a clear canvas, a solid fill
// replacing what lies beneath, an image or gradient in strips of few rows;
// images are blended one rect at a time, through paths in strips.
//
// Reuse. A cached image of a layer is reused while, all at once: the layer is
// alive; its content revision (mixed with the step of an endless morph) is the
// one it was drawn at; it was drawn with or without its shadow as now (a group
// casts the shadow for its members); the linear part of its raster transform
// is unchanged; and, when the layer is not turning, the sub-pixel part of its
// placement is unchanged (only whole-pixel moves reuse it). A turning layer
// (world's linear part differs from the model's) is drawn at the nearest step
// of its scale and rotation and reused while it stays on that step. A group's
// image is reused while the signatures of its members, its area and its
// shadow are unchanged; when every member is a cached image its clip leaves
// whole and the area is not cut at the target's margin, members count by image,
// opacity and place within the area, and a group moved whole by whole pixels
// is placed at the new spot rather than composed again. A group whose members
// are plain shapes that only morph has no images of its members: they are
// drawn straight into its image, which is reused while every member's stage,
// placement and opacity are unchanged.
//
// Steps. Beside the last picture of each layer and group, pictures that come
// round again are kept (StepImages, within a budget the process shares): a
// morph's stages, and any picture of a layer that animates, or lies under
// one that does, while its anchor is where the model puts it (turning or
// swelling in place); a group's picture when all its members' come round and
// it is composed wherever it lies. A kept picture is taken only for the same
// layer and for what `shows` it now; a layer whose anchor moves would come
// round at another place within a pixel, so it is drawn as before. A morph's
// stage that falls before the morph began is told apart from the stage.
//
// Clips. A clip made last frame is taken again when it comes at the same
// place in the list with the same signature (its mask's identity and its
// parent's) and the target kept its size. An image placed through a clip of
// paths is cut to that clip once it shows alike for two frames running.
//
// Trimming. A cached image holds what its layer shows cut to where it is not
// transparent, found by searching the drawn pixels. A layer that is only its
// contents image is drawn only where the image's shown pixels land, grown by
// a pixel of the image for smoothing, before that search.
//
// Memo. A layer with no animations, no mask and no clip of its own, that is
// not the root, keeps its placements and its item (before opacity and clip)
// while its revision (anything of it changed) and its superlayer's world and
// model transforms are unchanged: it is then placed from them, its opacity
// and clip applied afresh, without being evaluated. One with no sublayers
// whose superlayer turns or swells it (the model transform unchanged) is
// placed so too while the raster cache finds it on the same image at the same
// pixel: its anchor stays put and the turn stays within its step, where
// placing it anew would give that very item. A change of the target's size
// forgets every memo. What a layer's animations change is worked out
// again only when its revision changes.
//
// Damage. Every item carries a signature of what it shows (image, placement,
// opacity, clip, the item below); an item is damaged exactly when its
// signature changed, appeared or went away, and only inside its clip. An
// item whose picture was drawn again only in part (a stroke's end redrawn, a
// group patched) names the signature last frame's item had when it is that
// picture changed there alone: matching it, only the part is damaged.
//
// Patching. A group's picture is composed again only in the parts where a
// member changed (its rects then and now, or the part it was itself drawn
// again in), the rest carried over from last frame: compositing is per pixel,
// so a part cleared and composed of every member gives the pixels a whole
// composition gives there. Parts never overlap; groups with a shadow, or a
// member through a clip of paths, are composed whole. A part lying within
// last frame's picture and this one's is then narrowed to the pixels that
// differ between them, which alone are reported changed. A patch is drawn on
// the picture before last once nothing shows it; when last frame's was
// patched from that very image in place, only where last frame's changed is
// carried over, the rest being last frame's pixels already.
//
// Alignment. A cached image, and the picture of a group of shapes that only
// morph, keeps clear columns at its sides, outside its item's rect. Blending
// a clear pixel leaves the target as it was, so a blend may reach into them,
// within the rect of the region it is clipped to, out to where the target's
// rows are aligned; damage tiles start at such a column of the target last
// painted on. Neither changes a pixel: only how Qt blends.

#include "platform/gfx/LayerRenderer.h"

#include "platform/core/Numbers.h"
#include "platform/gfx/ContentPainting.h"
#include "platform/gfx/DamageTiles.h"
#include "platform/gfx/DevicePixels.h"
#include "platform/gfx/LargeImage.h"
#include "platform/gfx/Presentation.h"
#include "platform/gfx/ShadowBlur.h"
#include "platform/gfx/Signature.h"
#include "platform/gfx/StrokeEndChange.h"

#include <QPaintEngine>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numeric>
#include <utility>

namespace pf {

using devicePixels::alignedRun;
using devicePixels::blendMargin;
using devicePixels::reachable;
using devicePixels::sameLinear;
using devicePixels::sameSubpixel;
using signature::mix;
using signature::spread;

namespace {

// Below this a layer is invisible: less than one step of an 8-bit alpha.
constexpr double invisibleOpacity = 1.0 / 512;
// Opacities are drawn in steps this fine: a slow fade (a breathing outline)
// then changes its pixels every few frames rather than every frame, and the
// frames between cost nothing. A step is about five levels of 8-bit alpha.
constexpr double opacityStep = 1.0 / 48;
// Rows of an image drawn at a time through a clip of paths: as many as stay
// below the 96 spans, one a row, at which Qt hands a blend to worker threads.
constexpr int clippedStrip = 95;

// Layer coordinates to superlayer coordinates: about the anchor point, scale,
// then rotate, then move to the position (plus the transform's translation).
QTransform localTransform(const LayerPresentation& p) {
  const Rect b = p.bounds.isFinite() ? p.bounds.standardized() : Rect();
  const Transform& t = p.transform;
  QTransform local = QTransform::fromTranslate(-(p.anchorPoint.x * b.width() + b.origin.x),
                                               -(p.anchorPoint.y * b.height() + b.origin.y)) *
                     QTransform::fromScale(t.scaleX, t.scaleY);
  // Most layers never turn: their sine and cosine would only make the identity, which multiplies as nothing.
  if (t.rotation != 0) {
    const double c = std::cos(t.rotation), s = std::sin(t.rotation);
    local = local * QTransform(c, s, -s, c, 0, 0);
  }
  return local * QTransform::fromTranslate(p.position.x + t.translationX, p.position.y + t.translationY);
}

// Whether two presentations of a layer place it alike, so that their local transforms are the same.
bool placedAlike(const LayerPresentation& a, const LayerPresentation& b) {
  return a.bounds == b.bounds && a.position == b.position && a.anchorPoint == b.anchorPoint &&
         a.transform == b.transform;
}

// The smallest rect holding every pixel of `part` (device pixels) that
// differs between two pictures, their top lefts at `nowAt` and `beforeAt`.
QRect differing(const QImage& now, QPoint nowAt, const QImage& before, QPoint beforeAt, QRect part) {
  int top = part.bottom() + 1, bottom = part.top() - 1, left = part.right() + 1, right = part.left() - 1;
  const auto bytes = static_cast<std::size_t>(part.width()) * sizeof(QRgb);
  for (int y = part.top(); y <= part.bottom(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(now.constScanLine(y - nowAt.y())) + (part.left() - nowAt.x());
    const auto* b =
        reinterpret_cast<const QRgb*>(before.constScanLine(y - beforeAt.y())) + (part.left() - beforeAt.x());
    if (std::memcmp(a, b, bytes) == 0) continue;
    int first = 0, last = part.width() - 1;
    while (a[first] == b[first]) ++first;
    while (a[last] == b[last]) --last;
    top = std::min(top, y);
    bottom = y;
    left = std::min(left, part.left() + first);
    right = std::max(right, part.left() + last);
  }
  return top > bottom ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The point a layer turns and swells about, in its coordinates.
QPointF anchorOf(const LayerPresentation& p) {
  const Rect b = p.bounds.isFinite() ? p.bounds.standardized() : Rect();
  return {b.origin.x + p.anchorPoint.x * b.width(), b.origin.y + p.anchorPoint.y * b.height()};
}

// A NaN or infinite placement (from bad input) would poison every pixel rect after it.
bool isFinite(const QTransform& t) {
  return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22()) &&
         std::isfinite(t.dx()) && std::isfinite(t.dy());
}

// The first column, in the device pixels items are placed in, at which every
// row of the painter's target starts a run of pixels Qt blends at once; -1
// when that cannot be told: the target is no image, its rows lie unlike each
// other, or its pixels are not those moved by whole pixels.
int alignedColumn(const QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
  if (!device || device->devType() != QInternal::Image) return -1;
  const auto& target = static_cast<const QImage&>(*device);
  const QTransform toDevice = painter.deviceTransform();
  constexpr auto runBytes = static_cast<qsizetype>(alignedRun * sizeof(QRgb));
  if (target.depth() != 32 || target.bytesPerLine() % runBytes != 0 || toDevice.type() > QTransform::TxTranslate ||
      std::fabs(toDevice.dx() - std::round(toDevice.dx())) > 1e-6) {
    return -1;
  }
  const auto first = static_cast<long long>(reinterpret_cast<quintptr>(target.constBits()) / sizeof(QRgb)) +
                     std::llround(toDevice.dx());
  return static_cast<int>(((-first) % alignedRun + alignedRun) % alignedRun);
}

// `rect` widened at its sides out to where the target's rows are aligned (at
// `aligned`, not negative, and every run from it).
QRect alignedOutward(const QRect& rect, int aligned) {
  const auto atOrBefore = [&](int x) { return x - ((x - aligned) % alignedRun + alignedRun) % alignedRun; };
  return QRect(QPoint(atOrBefore(rect.left()), rect.top()),
               QPoint(atOrBefore(rect.right() + alignedRun) - 1, rect.bottom()));
}

// `part` of an item on the target widened, at the sides of what it shows
// (`shows`), into the clear columns its image (`image`) keeps there, out to
// where the target's rows are aligned (at `aligned` and every run from it),
// within `bounds`.
QRect alignedPart(QRect part, const QRect& shows, const QRect& image, const QRect& bounds, int aligned) {
  if (aligned < 0) return part;
  const QRect outward = alignedOutward(part, aligned);
  // Within the image and the bounds, which meet: `part` lies in both.
  if (part.left() == shows.left()) part.setLeft(std::max({outward.left(), image.left(), bounds.left()}));
  if (part.right() == shows.right()) part.setRight(std::min({outward.right(), image.right(), bounds.right()}));
  return part;
}

// Where a content drawn on a canvas of its own, among others within `area`,
// is cleared and blended: what it covers, out to its outline's control points.
// Narrower than `area`, it spares clearing and blending the room a wider
// member's glow takes; reaching the control points keeps Qt's fill from
// clipping it span by span, which costs more than the few pixels it spares.
QRect ownCanvas(const LayerContent& content, const QTransform& world, const QRect& area) {
  QRectF local = content.localBounds();
  if (content.strokeOutline) local |= content.strokeOutline->controlPointRect();
  return world.mapRect(local).toAlignedRect().adjusted(-1, -1, 1, 1) & area;
}

}  // namespace

QRegion LayerRenderer::prepare(const Layer& root, double t, QSizeF size, double scale) {
  const QSize pixels(static_cast<int>(std::ceil(size.width() * scale)),
                     static_cast<int>(std::ceil(size.height() * scale)));
  const bool resized = pixels != m_pixels || scale != m_scale;
  m_time = t;
  m_scale = scale;
  m_pixels = pixels;
  // What a still layer was cut to depends on the target's size.
  if (resized) m_lastMemos.clear();
  ++m_frame;
  m_animating = false;
  // Last frame's lists are kept for their capacity: built afresh, hundreds of
  // items take freshly mapped pages every frame.
  m_clips.beginFrame(pixels, !resized);
  m_raster.beginFrame(m_frame, pixels);
  std::swap(m_items, m_previousItems);
  m_items.clear();
  m_below = 0;
  m_root = &root;

  const QTransform base(scale, 0, 0, -scale, 0, size.height() * scale);
  visit(root, base, base, 1.0, -1, false);
  cutToClips();
  m_stats.rasterisations += m_raster.takeRasterisations();

  const auto stale = [&](const auto& kv) {
    return kv.second.layer.expired() || m_frame - kv.second.lastUsed > RasterCache::lifetime;
  };
  m_raster.sweep();
  std::erase_if(m_groups, stale);
  std::erase_if(m_afresh, stale);
  // Kept steps are many: looked through now and then, not every frame.
  if (m_frame % 64 == 0) m_groupSteps.sweep(m_frame);
  // Memos of layers not visited this frame are let go.
  std::swap(m_memos, m_lastMemos);
  m_memos.clear();
  m_memoCursor = 0;
  m_lastMemoIndex.clear();
  QRegion changed = damage(m_previousItems, m_clips.lastClips());
  // Let go of what only last frame showed, so that no image is held longer than it shows.
  m_previousItems.clear();
  m_clips.releaseLast();
  if (resized) changed = QRegion(QRect(QPoint(0, 0), pixels));
  return changed;
}

void LayerRenderer::reset() {
  m_raster.clear();
  m_groups.clear();
  m_afresh.clear();
  m_groupSteps.clear();
  m_cutImages.clear();
  m_memos.clear();
  m_lastMemos.clear();
  m_items.clear();
  m_clips.clear();
  m_pixels = QSize();
}

void LayerRenderer::visit(const Layer& layer, const QTransform& parentWorld, const QTransform& parentModel,
                          double parentOpacity, int clip, bool moving) {
  if (layer.isHidden()) return;
  // By index: visiting the sublayers adds memos, which may move them all.
  const std::size_t index = memoFor(layer);
  if (placedAsBefore(layer, m_memos[index], parentWorld, parentModel, parentOpacity, clip, moving)) return;
  moving = moving || !layer.animations().empty();
  const Pose pose = evaluate(layer, m_memos[index], parentWorld, parentModel);
  const double opacity = parentOpacity * unitInterval(pose.shown.opacity);
  if (opacity < invisibleOpacity || !isFinite(pose.world)) return;
  const std::optional<int> inner = clipWithin(layer, pose, clip);
  if (!inner) return;
  std::optional<LayerContent> fresh;
  const LayerContent& content = contentOf(layer, m_memos[index], pose, fresh);
  const quint64 revision = pose.step ? mix(layer.contentRevision(), pose.step->key) : layer.contentRevision();
  const Placement place{pose.world, pose.modelWorld, pose.redrawn, pose.shown, revision, pose.step.has_value(), moving};
  if (isGroup(layer)) {
    visitGroup(layer, index, content, place, opacity, clip, *inner);
    return;
  }
  auto item = itemFor(layer, content, place);
  if (placesFromMemo(layer)) {
    auto& still = m_memos[index].still;
    if (!still) still = std::make_unique<Memo::Still>();
    *still = Memo::Still{.parentWorld = parentWorld,
                         .parentModel = parentModel,
                         .world = pose.world,
                         .model = pose.modelWorld,
                         .local = pose.local,
                         .anchor = anchorOf(pose.shown),
                         .item = item,
                         .imageKey = item ? item->image.cacheKey() : 0};
  }
  if (item) push(std::move(*item), opacity, *inner);
  for (const auto& sublayer : layer.sublayers()) {
    visit(*sublayer, pose.world, pose.modelWorld, opacity, *inner, moving);
  }
}

bool LayerRenderer::placedAsBefore(const Layer& layer, Memo& memo, const QTransform& parentWorld,
                                   const QTransform& parentModel, double parentOpacity, int clip, bool moving) {
  if (!memo.still || &layer == m_root || !(memo.still->parentModel == parentModel)) return false;
  if (!(memo.still->parentWorld == parentWorld) && !turnsWithinStep(layer, *memo.still, parentWorld)) return false;
  // Nothing of it or above it moved: placed as last frame, without evaluating it again.
  const double opacity = parentOpacity * unitInterval(layer.opacity());
  if (opacity < invisibleOpacity) return true;
  if (memo.still->item) push(*memo.still->item, opacity, clip);
  if (layer.sublayers().empty()) return true;
  // Copied: visiting the sublayers adds memos, which may move this one.
  const QTransform world = memo.still->world, model = memo.still->model;
  for (const auto& sublayer : layer.sublayers()) visit(*sublayer, world, model, opacity, clip, moving);
  return true;
}

bool LayerRenderer::turnsWithinStep(const Layer& layer, Memo::Still& still, const QTransform& parentWorld) {
  // A layer with sublayers would have to place them anew all the same.
  if (!still.item || !still.item->comesBack || !layer.sublayers().empty()) return false;
  const QTransform world = still.local * parentWorld;
  if (!m_raster.placesAgain(layer, world, still.model, still.anchor, still.imageKey, still.item->position)) {
    return false;
  }
  still.parentWorld = parentWorld;
  still.world = world;
  return true;
}

LayerRenderer::Pose LayerRenderer::evaluate(const Layer& layer, Memo& memo, const QTransform& parentWorld,
                                            const QTransform& parentModel) {
  Pose pose;
  const bool animated = !layer.animations().empty();
  pose.step = memo.morphs ? m_morphs.stepAt(layer, m_time) : std::nullopt;
  const bool morphsAlone = pose.step && pose.step->alone;
  pose.redrawn = !pose.step && memo.animatesContent;
  pose.model = modelPresentation(layer);
  // Motion of a layer with nothing to draw, in it or under it, changes no pixel: no frames for it.
  if (animated && !m_animating && hasRunningAnimations(layer, m_time) &&
      (!layer.sublayers().empty() || pose.redrawn || LayerContent::of(layer, pose.model).isVisible())) {
    m_animating = true;
  }
  if (!animated) {
    // Shown as its model, which nothing looks at again: moved, not copied.
    pose.shown = std::move(pose.model);
    pose.local = localTransform(pose.shown);
    pose.world = pose.local * parentWorld;
    pose.modelWorld = pose.local * parentModel;
    return pose;
  }
  // A layer that only morphs is evaluated once, at its stage's time.
  pose.shown = presentation(layer, morphsAlone ? pose.step->time : m_time, pose.model);
  pose.local = localTransform(pose.shown);
  pose.world = pose.local * parentWorld;
  // Most animations fade or morph, leaving the layer where its model puts it.
  if (placedAlike(pose.shown, pose.model)) {
    pose.modelWorld = pose.local * parentModel;
    return pose;
  }
  // The rest (rising wisps, embers) move it on every frame from a model that stays while the memo does.
  if (!memo.modelLocal) memo.modelLocal = std::make_unique<QTransform>(localTransform(pose.model));
  pose.modelWorld = *memo.modelLocal * parentModel;
  return pose;
}

std::optional<int> LayerRenderer::clipWithin(const Layer& layer, const Pose& pose, int clip) {
  if (layer.masksToBounds()) {
    clip = m_clips.boundsClip(pose.shown, pose.world, clip);
    if (m_clips[clip].bounds.isEmpty()) return std::nullopt;
  }
  if (layer.mask()) {
    const Layer& mask = *layer.mask();
    const LayerPresentation maskShown = presentation(mask, m_time);
    clip = m_clips.maskClip(mask, maskShown, localTransform(maskShown) * pose.world, clip, m_frame);
    if (m_clips[clip].bounds.isEmpty()) return std::nullopt;
  }
  return clip;
}

const LayerContent& LayerRenderer::contentOf(const Layer& layer, Memo& memo, const Pose& pose,
                                             std::optional<LayerContent>& fresh) const {
  // A layer whose animations only move, swell or fade it (a rising wisp, an
  // ember) draws the same on every frame while its memo stays.
  const bool same = !layer.animations().empty() && !memo.animatesContent && !pose.step && &layer != m_root;
  if (!same) return fresh.emplace(contentOf(layer, pose));
  if (!memo.content) memo.content = std::make_unique<LayerContent>(contentOf(layer, pose));
  return *memo.content;
}

LayerContent LayerRenderer::contentOf(const Layer& layer, const Pose& pose) const {
  // A layer that also does more than morph is drawn as its stage shows it.
  const bool staged = pose.step && !pose.step->alone;
  LayerContent content =
      LayerContent::of(layer, staged ? presentation(layer, pose.step->time, pose.model) : pose.shown);
  if (&layer == m_root && !m_drawsRootBackdrop) {
    // Drawn beneath the tree by its host (a view's own drawing goes between).
    content.backgroundColor.reset();
    content.contents = QImage();
    content.shadowOpacity = 0;
  }
  return content;
}

void LayerRenderer::visitGroup(const Layer& layer, std::size_t memo, const LayerContent& content,
                               const Placement& place, double opacity, int outerClip, int clip) {
  if (auto* morphs = straightMorphs(layer, m_memos[memo], content, place.world, place.model)) {
    push(composeMorphs(layer, *morphs), opacity, outerClip);
    return;
  }
  // The layer and its sublayers are drawn into one image at full opacity,
  // which casts the shadow and is then faded as a whole.
  // Lists of members are kept for their capacity: a vine's leaves are groups
  // too, and lists grown afresh for each cost allocations every frame.
  std::vector<Item> members;
  if (!m_spareMembers.empty()) {
    members = std::move(m_spareMembers.back());
    m_spareMembers.pop_back();
  }
  std::swap(m_items, members);  // the group's members go into a list of their own, the outer one aside
  const quint64 below = std::exchange(m_below, 0);
  // Most groups draw nothing of their own: their content is not copied to leave its shadow out.
  if (content.isVisible()) {
    LayerContent own = content;
    own.shadowOpacity = 0;
    if (auto item = itemFor(layer, std::move(own), place)) push(std::move(*item), 1.0, clip);
  }
  for (const auto& sublayer : layer.sublayers()) visit(*sublayer, place.world, place.model, 1.0, clip, place.moving);
  std::swap(m_items, members);
  m_below = below;
  Item item = composeGroup(layer, content, place.world, members);
  push(std::move(item), opacity, outerClip);
  members.clear();
  m_spareMembers.push_back(std::move(members));
}

bool LayerRenderer::isGroup(const Layer& layer) const {
  if (&layer == m_root || layer.sublayers().empty()) return false;
  // Decided from the model, so a flicker through full opacity keeps the layer's cached images.
  return layer.opacity() < 1 || layer.shadowOpacity() > 0 || animatesKeyPath(layer, QStringLiteral("opacity")) ||
         animatesKeyPath(layer, QStringLiteral("shadowOpacity"));
}

std::size_t LayerRenderer::memoFor(const Layer& layer) {
  std::size_t at = m_memoCursor;
  if (at >= m_lastMemos.size() || m_lastMemos[at].serial != layer.serial()) {
    if (m_lastMemoIndex.empty()) {
      for (std::size_t i = 0; i < m_lastMemos.size(); ++i) m_lastMemoIndex.emplace(m_lastMemos[i].serial, i);
    }
    const auto found = m_lastMemoIndex.find(layer.serial());
    at = found == m_lastMemoIndex.end() ? m_lastMemos.size() : found->second;
  }
  m_memoCursor = at + 1;
  // Serials are never reused: the same serial is the same layer.
  if (at < m_lastMemos.size() && m_lastMemos[at].revision == layer.revision()) {
    m_memos.push_back(std::move(m_lastMemos[at]));
  } else {
    Memo memo;
    memo.serial = layer.serial();
    memo.revision = layer.revision();
    memo.morphs = animatesKeyPath(layer, QStringLiteral("path"));
    memo.animatesContent = animatesContent(layer);
    m_memos.push_back(std::move(memo));
  }
  return m_memos.size() - 1;
}

bool LayerRenderer::placesFromMemo(const Layer& layer) const {
  // Anything animated, clipping or drawn specially is evaluated every frame.
  return layer.animations().empty() && !layer.masksToBounds() && !layer.mask() && &layer != m_root;
}

std::optional<LayerRenderer::Item> LayerRenderer::itemFor(const Layer& layer, const LayerContent& content,
                                                          const Placement& place) {
  if (!content.isVisible()) return std::nullopt;
  Item item;
  item.serial = layer.serial();
  if (place.redrawn) {
    drawAfresh(layer, content, place.world, item);
  } else {
    const RasterCache::Placed placed = m_raster.place(layer, content, place, anchorOf(place.shown));
    if (placed.entry) {
      item.image = placed.entry->image;
      item.comesBack = placed.comesBack;
      item.position = placed.position;
      item.rect = QRect(item.position, item.image.size()).adjusted(placed.entry->margin, 0, -placed.entry->margin, 0);
      item.coverage = placed.entry->coverage;
      item.signature = mix(mix(item.image.cacheKey(), static_cast<double>(item.position.x())),
                           static_cast<double>(item.position.y()));
    }
  }
  if (item.rect.isEmpty()) return std::nullopt;
  return item;
}

void LayerRenderer::push(Item item, double opacity, int clip) {
  const double stepped = std::round(opacity / opacityStep) * opacityStep;
  if (item.rect.isEmpty() || stepped <= 0) return;
  item.opacity = stepped;
  item.clip = clip;
  const auto placed = [&](quint64 signature) {
    return mix(mix(mix(signature, stepped), m_below), clip < 0 ? 0 : m_clips[clip].signature);
  };
  item.signature = placed(item.signature);
  if (item.patchedFrom != 0) item.patchedFrom = placed(item.patchedFrom);
  m_below = item.serial;
  m_items.push_back(std::move(item));
}

LayerRenderer::Item LayerRenderer::composeGroup(const Layer& layer, const LayerContent& content,
                                                const QTransform& world, const std::vector<Item>& members) {
  Item item;
  item.serial = layer.serial();
  QRect area;
  for (const Item& member : members) area |= member.rect;
  const bool movable = std::ranges::all_of(members, [&](const Item& m) { return m_clips.spares(m.clip, m.rect); });
  quint64 signature = mix(static_cast<quint64>(members.size()), static_cast<quint64>(movable));
  for (const Item& member : members) {
    signature = movable ? mix(mix(mix(mix(signature, static_cast<quint64>(member.image.cacheKey())), member.opacity),
                                  static_cast<double>(member.position.x() - area.x())),
                              static_cast<double>(member.position.y() - area.y()))
                        : mix(signature, member.signature);
  }
  const bool shadowed = content.shadowOpacity > 0 && content.shadowColor && content.shadowTint().alpha() > 0;
  QPointF offset;
  double sigma = 0;
  if (shadowed && !area.isEmpty()) {
    offset = world.map(QPointF(content.shadowOffset.width, content.shadowOffset.height)) - world.map(QPointF(0, 0));
    sigma = content.shadowRadius / 2 * std::sqrt(std::fabs(world.determinant()));
    const int reach =
        static_cast<int>(std::ceil(3 * sigma + std::max(std::fabs(offset.x()), std::fabs(offset.y())))) + 1;
    area.adjust(-reach, -reach, reach, reach);
    signature = mix(mix(mix(mix(signature, sigma), offset.x()), offset.y()),
                    static_cast<quint64>(content.shadowTint().rgba64()));
  }
  const QRect whole = area;
  area &= reachable(m_pixels);
  if (area.isEmpty()) return item;
  // Cached images left whole by their clips, moved together, compose the same picture moved as much.
  if (!movable || area != whole) {
    signature = mix(mix(signature, static_cast<double>(area.x())), static_cast<double>(area.y()));
  }
  signature = mix(mix(signature, static_cast<double>(area.width())), static_cast<double>(area.height()));
  // Only members that show again, composed wherever the group lies, come round again together.
  item.comesBack = movable && std::ranges::all_of(members, [](const Item& m) { return m.comesBack; });
  GroupEntry& group = m_groups[layer.serial()];
  if (group.layer.expired() || group.signature != signature) {
    bool patchedNow = false;
    GroupEntry next = groupAtStep(layer, signature, item.comesBack, [&] {
      // A few members changed (a vine grew, a leaf turned a step): last
      // frame's picture is drawn again only where they lie, then and now.
      const auto parts = shadowed || group.layer.expired() || group.image.isNull()
                             ? std::nullopt
                             : changedParts(group, group.shownAt, members, area);
      if (parts) {
        item.patchedFrom = mix(mix(group.image.cacheKey(), static_cast<double>(group.shownAt.x())),
                               static_cast<double>(group.shownAt.y()));
        patchedNow = true;
        return patched(group, group.shownAt, members, area, *parts);
      }
      GroupEntry composed = composeMembers(members, area, shadowed, offset, sigma, content.shadowTint());
      composed.origin = area.topLeft();
      return composed;
    });
    // Its list of members is written again below: kept for its capacity, rather than grown afresh each frame.
    next.shown = std::move(group.shown);
    if (patchedNow) {
      item.patch = next.changed;
      // Last frame's picture, still shown until this frame is, is drawn on at the next patch.
      next.spare = std::move(group.image);
    }
    group = std::move(next);
  }
  group.lastUsed = m_frame;
  group.shown.clear();
  if (group.image.isNull()) return item;
  item.image = group.image;
  item.position = group.topLeft + area.topLeft() - group.origin;
  item.rect = QRect(item.position, group.image.size());
  item.signature =
      mix(mix(group.image.cacheKey(), static_cast<double>(item.position.x())), static_cast<double>(item.position.y()));
  group.shownAt = item.position;
  for (const Item& member : members) group.shown.push_back({member.serial, member.signature, member.rect});
  return item;
}

std::optional<std::vector<QRect>> LayerRenderer::changedParts(const GroupEntry& last, QPoint lastAt,
                                                              const std::vector<Item>& members, QRect area) const {
  if (last.shown.size() != members.size()) return std::nullopt;
  const auto pixels = [](const QRect& r) { return static_cast<long>(r.width()) * r.height(); };
  const long half = pixels(area) / 2;
  std::vector<QRect> parts;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const Item& member = members[i];
    const GroupEntry::Shown& was = last.shown[i];
    // A clip of paths is blended through in strips from the top of each rect: composed whole, as ever.
    if (member.serial != was.serial || (member.clip >= 0 && !m_clips[member.clip].region)) return std::nullopt;
    if (member.signature == was.signature) continue;
    if (member.patchedFrom == was.signature) {
      parts.insert(parts.end(), member.patch.begin(), member.patch.end());
      continue;
    }
    // Told before any merging: a turning petal that fills most of its group.
    if (pixels(member.rect & area) > half || pixels(was.rect & area) > half) return std::nullopt;
    parts.push_back(was.rect);
    parts.push_back(member.rect);
  }
  // Merged until none overlap, so that no pixel is composed twice; neighbours
  // close enough are merged too, as every part costs a blend of each member.
  constexpr long partPixels = 256;
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < parts.size() && !merged; ++i) {
      for (std::size_t j = i + 1; j < parts.size(); ++j) {
        const QRect both = parts[i] | parts[j];
        if (!parts[i].intersects(parts[j]) && pixels(both) > pixels(parts[i]) + pixels(parts[j]) + partPixels) continue;
        parts[i] = both;
        parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(j));
        merged = true;
        break;
      }
    }
  }
  // Most of it changed: composed whole, without carrying the rest over.
  long changed = 0;
  for (const QRect& part : parts) changed += pixels(part & area);
  if (changed > half || QRect(lastAt, last.image.size()).intersected(area).isEmpty()) return std::nullopt;
  return parts;
}

LayerRenderer::GroupEntry LayerRenderer::patched(GroupEntry& last, QPoint lastAt, const std::vector<Item>& members,
                                                 QRect area, const std::vector<QRect>& parts) {
  ++m_stats.rasterisations;
  // The picture before last, which nothing shows any more, is drawn on again:
  // a new image each frame costs an allocation and a paint engine of its own.
  const bool spare = last.spare.isDetached() && last.spare.size() == area.size();
  const QRect lastRect(lastAt, last.image.size());
  // It then already holds last frame's picture but where last frame composed again.
  const bool inPlace = spare && lastRect == area && last.spare.cacheKey() == last.carriedFrom;
  QImage image = spare ? std::move(last.spare) : QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
  // Rows reached through the bits, once: asking the image for each row checks it is not shared every time.
  const auto row = [&, bits = image.bits(), stride = image.bytesPerLine()](int y, int x) {
    return reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y - area.top()) * stride) + (x - area.left());
  };
  const auto rowBytes = [](int width) { return static_cast<std::size_t>(width) * sizeof(QRgb); };
  const auto carry = [&](const QRect& carried) {
    for (int y = carried.top(); y <= carried.bottom(); ++y) {
      std::memcpy(
          row(y, carried.left()),
          reinterpret_cast<const QRgb*>(last.image.constScanLine(y - lastAt.y())) + (carried.left() - lastAt.x()),
          rowBytes(carried.width()));
    }
  };
  // Outside every part the picture is last frame's: each member there shows as it did.
  if (inPlace) {
    for (const QRect& r : last.changed) carry(r & area);
  } else {
    const QRect carried = lastRect & area;
    if (carried != area) image.fill(Qt::transparent);
    carry(carried);
  }
  QPainter painter(&image);
  painter.setTransform(QTransform::fromTranslate(-area.x(), -area.y()));
  for (const QRect& part : parts) {
    const QRect within = part & area;
    if (within.isEmpty()) continue;
    // Cleared and composed as the whole picture is, there alone.
    for (int y = within.top(); y <= within.bottom(); ++y)
      std::memset(row(y, within.left()), 0, rowBytes(within.width()));
    const QRegion whole(within);
    // Members mostly share one clip: what it lets through of the part is worked out once.
    int clipped = -1;
    QRegion seen = whole;
    for (const Item& member : members) {
      if (!member.rect.intersects(within)) continue;
      const QRegion* clip = rectClipOf(member);
      if (clip && member.clip != clipped) {
        seen = whole.intersected(*clip);
        clipped = member.clip;
      }
      composite(painter, clip ? seen : whole, member);
    }
  }
  painter.end();
  GroupEntry group;
  // A part mostly holds more than changed (a vine's end drawn again where it
  // may have moved): only what did is reported, and carried at the next patch.
  for (const QRect& part : parts) {
    if ((part & area & lastRect) != part) {
      group.changed.push_back(part);
    } else if (const QRect differs = differing(image, area.topLeft(), last.image, lastAt, part); !differs.isEmpty()) {
      group.changed.push_back(differs);
    }
  }
  if (lastRect == area) group.carriedFrom = last.image.cacheKey();
  group.image = std::move(image);
  group.topLeft = area.topLeft();
  group.origin = area.topLeft();
  return group;
}

LayerRenderer::MorphMembers* LayerRenderer::straightMorphs(const Layer& layer, Memo& memo, const LayerContent& content,
                                                           const QTransform& world, const QTransform& model) {
  // The group's own drawing, shadow, mask and motion take the general way.
  if (content.isVisible() || content.shadowOpacity > 0 || layer.masksToBounds() || layer.mask() ||
      !sameLinear(world, model) || world.dx() != model.dx() || world.dy() != model.dy()) {
    return nullptr;
  }
  // Asked of every group on every frame: its sublayers are looked at again only when they changed.
  auto& found = memo.morphMembers;
  const auto& sublayers = layer.sublayers();
  if (!found || !(found->world == world) ||
      !std::ranges::equal(sublayers, found->revisions, {}, [](const auto& sublayer) { return sublayer->revision(); })) {
    found = morphMembersOf(layer, world);
  }
  if (!found->straight) return nullptr;
  // Members mostly morph together: their stage is worked out once for all.
  std::optional<MorphStager::Step> step;
  for (std::size_t i = 0; i < found->shown.size(); ++i) {
    if (!found->stagedAsBefore[i]) step = m_morphs.stepAt(found->morphings[i], m_time);
    if (!step) return nullptr;
    found->shown[i].time = step->time;
    found->shown[i].key = step->key;
  }
  return found.get();
}

std::unique_ptr<LayerRenderer::MorphMembers> LayerRenderer::morphMembersOf(const Layer& layer,
                                                                           const QTransform& world) {
  auto found = std::make_unique<MorphMembers>();
  found->world = world;
  for (const auto& sublayer : layer.sublayers()) found->revisions.push_back(sublayer->revision());
  for (const auto& sublayer : layer.sublayers()) {
    if (sublayer->kind() != Layer::Kind::shape || !sublayer->sublayers().empty() || sublayer->masksToBounds() ||
        sublayer->mask()) {
      return found;
    }
    const auto morphing = MorphStager::morphingOf(*sublayer);
    if (!morphing || !morphing->alone || !m_morphs.stepAt(*morphing, m_time)) return found;
    if (sublayer->isHidden()) continue;
    // Only a morph animates it, so the model places it.
    const LayerPresentation shown = modelPresentation(*sublayer);
    const Morph member{sublayer.get(), 0, 0, localTransform(shown) * world,
                       std::round(unitInterval(shown.opacity) / opacityStep) * opacityStep};
    if (!(member.opacity > 0 && isFinite(member.world))) continue;
    found->stagedAsBefore.push_back(!found->morphings.empty() &&
                                    MorphStager::stagedAlike(found->morphings.back(), *morphing));
    found->morphings.push_back(*morphing);
    found->shown.push_back(member);
  }
  found->straight = true;
  found->signature = mix(mix(static_cast<quint64>(m_pixels.width()), static_cast<quint64>(m_pixels.height())), world);
  for (const Morph& member : found->shown) {
    found->signature =
        mix(mix(mix(mix(found->signature, member.layer->serial()), member.layer->contentRevision()), member.world),
            member.opacity);
  }
  return found;
}

LayerRenderer::Item LayerRenderer::composeMorphs(const Layer& layer, MorphMembers& members) {
  quint64 signature = members.signature;
  for (const Morph& member : members.shown) {
    if (!m_animating && hasRunningAnimations(*member.layer, m_time)) m_animating = true;
    signature = mix(signature, member.key);
  }
  // Kept with the members rather than among the other groups' pictures: looked up on every frame.
  GroupEntry& group = members.picture;
  if (group.layer.expired() || group.signature != signature) {
    group = groupAtStep(layer, signature, true, [&] { return drawMorphs(members.shown); });
  }
  Item item;
  item.serial = layer.serial();
  if (group.image.isNull()) return item;
  item.image = group.image;
  item.position = group.topLeft;
  item.rect = QRect(item.position, group.image.size()).marginsRemoved(group.clear);
  item.signature =
      mix(mix(group.image.cacheKey(), static_cast<double>(item.position.x())), static_cast<double>(item.position.y()));
  return item;
}

LayerRenderer::GroupEntry LayerRenderer::groupAtStep(const Layer& layer, quint64 signature, bool comesBack,
                                                     const std::function<GroupEntry()>& compose) {
  // Members at steps they come back to compose the same picture each time round.
  const quint64 key = mix(spread(layer.serial()), signature);
  const GroupEntry* kept = comesBack ? m_groupSteps.find(key, m_frame) : nullptr;
  if (kept && kept->signature == signature && kept->layer.lock().get() == &layer) return *kept;
  GroupEntry group = compose();
  group.layer = layer.weak_from_this();
  group.signature = signature;
  if (comesBack) m_groupSteps.keep(key, group);
  return group;
}

LayerRenderer::GroupEntry LayerRenderer::drawMorphs(const std::vector<Morph>& members) {
  ++m_stats.rasterisations;
  std::vector<LayerContent> contents;
  QRect area;
  for (const Morph& member : members) {
    LayerContent content = LayerContent::of(*member.layer, presentation(*member.layer, member.time));
    content.outlineStroke();
    const double reach = content.shadowReach();
    if (content.isVisible()) {
      area |= member.world.mapRect(content.localBounds().adjusted(-reach, -reach, reach, reach))
                  .toAlignedRect()
                  .adjusted(-1, -1, 1, 1);
    }
    contents.push_back(std::move(content));
  }
  area &= reachable(m_pixels);
  if (area.isEmpty()) return {};
  QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  bool clear = true;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const Morph& member = members[i];
    const LayerContent& content = contents[i];
    if (!content.isVisible()) continue;
    if (content.hasShadow() || member.opacity < 1) {
      // A blurred shadow needs the member's own picture, and so does a fade of
      // all its parts as one. Blended just once, it is not cut to what shows:
      // its clear pixels leave the group's as they were.
      const RasterCache::Drawing drawn = m_raster.draw(content, member.world);
      QPainter painter(&image);
      painter.setOpacity(member.opacity);
      if (!drawn.image.isNull()) painter.drawImage(drawn.rect.topLeft() - area.topLeft(), drawn.image);
    } else {
      // The first lies on the clear image itself; the rest each on a canvas only as large as they draw.
      const QRect part = clear ? image.rect() : ownCanvas(content, member.world, area).translated(-area.topLeft());
      paintContent(image, part, clear, content, member.world * QTransform::fromTranslate(-area.x(), -area.y()),
                   !content.isFaint());
    }
    clear = false;
  }
  // Placed on every frame it fades, far more often than drawn: blended eight pixels at a time throughout.
  return trimmed(std::move(image), area.topLeft(), true);
}

LayerRenderer::GroupEntry LayerRenderer::trimmed(QImage image, QPoint topLeft, bool alignedSides) const {
  GroupEntry group;
  const QRect used = opaqueBounds(image, image.size());
  if (used.isEmpty()) return group;
  const QRect kept = alignedSides ? widenedToAlignment(used.translated(topLeft)).translated(-topLeft) : used;
  // Columns past the image's sides are copied clear.
  group.image = kept == image.rect() ? std::move(image) : image.copy(kept);
  group.topLeft = topLeft + kept.topLeft();
  group.clear = QMargins(used.left() - kept.left(), 0, kept.right() - used.right(), 0);
  return group;
}

QRect LayerRenderer::widenedToAlignment(QRect shows) const {
  // As far as any alignment needs when the last frame could not tell.
  if (m_alignedColumn < 0) return shows.adjusted(-blendMargin, 0, blendMargin, 0);
  return alignedOutward(shows, m_alignedColumn);
}

LayerRenderer::GroupEntry LayerRenderer::composeMembers(const std::vector<Item>& members, QRect area, bool shadowed,
                                                        QPointF offset, double sigma, const QColor& tint) {
  ++m_stats.rasterisations;
  QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setTransform(QTransform::fromTranslate(-area.x(), -area.y()));
    const QRegion whole(area);
    for (const Item& member : members) {
      // Within its clip of rects, as on the target; a clip of paths `composite` sets itself.
      const QRegion* clip = rectClipOf(member);
      composite(painter, clip ? whole.intersected(*clip) : whole, member);
    }
  }
  if (!shadowed) {
    // Members are cut to what they show, so their bounds leave nothing to trim
    // but what a clip or a faint fade took away, which only costs a blend.
    GroupEntry group;
    group.image = std::move(image);
    group.topLeft = area.topLeft();
    return group;
  }
  QImage withShadow = shadowImage(image, offset, sigma, tint);
  {
    QPainter p(&withShadow);
    p.drawImage(0, 0, image);
  }
  return trimmed(std::move(withShadow), area.topLeft());
}

void LayerRenderer::drawAfresh(const Layer& layer, const LayerContent& content, const QTransform& world, Item& item) {
  item.comesBack = false;
  AfreshEntry& last = m_afresh[layer.serial()];
  last.lastUsed = m_frame;
  // A strokeEnd that holds, a colour at a keyframe it stays on: drawn as last frame, placed again.
  const quint64 lastImage = last.image.cacheKey();
  std::optional<QRect> redrawn;
  if (last.layer.expired() || !(last.content == content) || !sameLinear(last.world, world) ||
      !sameSubpixel(last.world, world)) {
    ++m_stats.directDraws;
    // A pen wider than a pixel is stroked and filled in one go, cheaper than an
    // outline made first; a thinner one Qt draws line by line, which a fill
    // that replaces would let overlap, so it is outlined.
    const bool outlined = content.lineWidth * std::sqrt(std::fabs(world.determinant())) <= 1;
    // An outline bounds its image, which then moves with the stroke's end: drawn whole.
    if (!outlined) redrawn = redrawStrokeEnd(content, world, last);
    if (redrawn) {
      ++m_stats.strokeEndRedraws;
    } else {
      last = AfreshEntry{layer.weak_from_this(), content, world, {}, {}, m_frame};
      if (outlined) {
        LayerContent outline = content;
        outline.outlineStroke();
        drawWhole(outline, world, last);
      } else {
        drawWhole(content, world, last);
      }
    }
  }
  if (last.image.isNull()) return;
  item.image = last.image;
  item.position = last.topLeft + QPoint(static_cast<int>(std::lround(world.dx() - last.world.dx())),
                                        static_cast<int>(std::lround(world.dy() - last.world.dy())));
  item.rect = QRect(item.position, item.image.size());
  const auto at = [&](quint64 image) {
    return mix(mix(image, static_cast<double>(item.position.x())), static_cast<double>(item.position.y()));
  };
  item.signature = at(item.image.cacheKey());
  // Drawn again only where the stroke's end moved, in place: last frame's picture there alone changed.
  if (redrawn && !redrawn->isEmpty()) {
    item.patchedFrom = at(lastImage);
    item.patch = {*redrawn};
  }
}

void LayerRenderer::drawWhole(const LayerContent& content, const QTransform& world, AfreshEntry& last) {
  const double reach = content.shadowReach();
  const QRect area = world.mapRect(content.localBounds().adjusted(-reach, -reach, reach, reach))
                         .toAlignedRect()
                         .intersected(reachable(m_pixels));
  if (area.isEmpty()) return;
  QImage fresh;
  QImage& canvas = canvasFor(area.size(), fresh);
  // With the cheap stand-in for a shadow: a blur every frame would cost far more.
  paintContent(canvas, QRect(QPoint(0, 0), area.size()), true, content,
               world * QTransform::fromTranslate(-area.x(), -area.y()), true, true);
  // Bounded by the stroke's own outline: little to trim, and a search every frame would cost more.
  last.image = canvas.copy(QRect(QPoint(0, 0), area.size()));
  last.topLeft = area.topLeft();
}

std::optional<QRect> LayerRenderer::redrawStrokeEnd(const LayerContent& content, const QTransform& world,
                                                    AfreshEntry& last) {
  // Placed exactly as last drawn, so the part drawn again lands on the same
  // fractions of a pixel as the whole would.
  if (last.layer.expired() || last.image.isNull() || !(last.world == world)) return std::nullopt;
  const auto change = StrokeEndChange::between(last.content, content, world, QRect(last.topLeft, last.image.size()));
  if (!change) return std::nullopt;
  last.content = content;
  if (change->area.isEmpty()) return change->area;
  // Cleared first, as the whole is drawn on a clear canvas. The image is
  // copied here when last frame's items still show it: once, by taking its
  // bits, where asking for each row would check again at every row.
  const QRect part = change->area.translated(-last.topLeft);
  uchar* const bits = last.image.bits();
  const qsizetype stride = last.image.bytesPerLine();
  const auto bytes = static_cast<std::size_t>(part.width()) * sizeof(QRgb);
  for (int y = part.top(); y <= part.bottom(); ++y) {
    std::memset(bits + y * stride + static_cast<qsizetype>(part.left()) * qsizetype{sizeof(QRgb)}, 0, bytes);
  }
  paintContent(last.image, part, true, change->content,
               world * QTransform::fromTranslate(-last.topLeft.x(), -last.topLeft.y()), true, true);
  return change->area;
}

QRegion LayerRenderer::damage(const std::vector<Item>& previous, const std::vector<Clip>& previousClips) const {
  // Changed rects by the clip they are seen through: nothing outside a clip
  // is ever drawn, so it never needs repainting (the window's own area
  // inside an effect's band, say).
  // Where few items changed, the parts of their images that show are
  // repainted exactly (a breathing outline's band along the edges, not the
  // views it borders); many changes merge onto tiles.
  constexpr int exactItems = 4;
  struct Seen {
    const Clip* clip = nullptr;
    std::vector<QRect> rects;
    QRegion exact;
  };
  std::unordered_map<quint64, Seen> byClip;
  int withCoverage = 0;
  const auto seenBy = [&](const Item& item, const std::vector<Clip>& clips) -> Seen& {
    const Clip* clip = item.clip < 0 ? nullptr : &clips[static_cast<std::size_t>(item.clip)];
    Seen& seen = byClip[clip ? clip->signature : 0];
    seen.clip = clip;
    return seen;
  };
  const auto add = [&](const Item& item, const std::vector<Clip>& clips) {
    Seen& seen = seenBy(item, clips);
    if (item.coverage.isEmpty()) {
      seen.rects.push_back(item.rect);
    } else if (++withCoverage <= exactItems) {
      seen.exact += item.coverage.translated(item.position);
    } else {
      for (const QRect& r : item.coverage) seen.rects.push_back(r.translated(item.position));
    }
  };
  // Last frame's items found by serial in a table of open addressing kept
  // from frame to frame: a map made afresh took a node for each of hundreds
  // of items every frame, and sorting them cost more than placing them. Of
  // items alike in serial only the first counts, as a map keeps it.
  const std::size_t mask = std::bit_ceil(2 * previous.size() + 1) - 1;
  m_lastItemSlots.assign(mask + 1, {});
  const auto slotOf = [&](quint64 serial) -> LastItemSlot& {
    std::size_t at = static_cast<std::size_t>(spread(serial)) & mask;
    while (m_lastItemSlots[at].index != 0 && m_lastItemSlots[at].serial != serial) at = (at + 1) & mask;
    return m_lastItemSlots[at];
  };
  std::vector<char> unmatched(previous.size(), 0);  // by index in `previous`
  for (std::size_t i = 0; i < previous.size(); ++i) {
    LastItemSlot& slot = slotOf(previous[i].serial);
    if (slot.index != 0) continue;
    slot = {previous[i].serial, i + 1};
    unmatched[i] = 1;
  }
  for (const auto& item : m_items) {
    const std::size_t found = slotOf(item.serial).index;
    if (found == 0 || !unmatched[found - 1]) {
      add(item, m_clips.clips());
      continue;
    }
    const Item& last = previous[found - 1];
    unmatched[found - 1] = 0;
    if (last.signature == item.signature) continue;
    if (item.patchedFrom == last.signature) {
      // Last frame's picture, seen the same way, drawn again in part: it changed only there.
      auto& rects = seenBy(item, m_clips.clips()).rects;
      rects.insert(rects.end(), item.patch.begin(), item.patch.end());
    } else {
      add(item, m_clips.clips());
      add(last, previousClips);
    }
  }
  for (std::size_t i = 0; i < previous.size(); ++i) {
    if (unmatched[i]) add(previous[i], previousClips);
  }
  const QRect target(QPoint(0, 0), m_pixels);
  // Tiles (a run wide) start where the target's rows are aligned: blends cut by their sides stay aligned too.
  const QRect grid = target.adjusted(m_alignedColumn > 0 ? m_alignedColumn - alignedRun : 0, 0, 0, 0);
  QRegion changed;
  for (const auto& [signature, seen] : byClip) {
    QRegion region = (mergeIntoTiles(seen.rects, grid) & target) + (seen.exact & target);
    if (seen.clip) region &= seen.clip->region ? *seen.clip->region : QRegion(seen.clip->bounds);
    changed += region;
  }
  return changed;
}

// Qt blends an image seen through a path (a view masking to its rounded
// bounds) through its span path, which hands every blend to worker threads.
// An image that shows alike for two frames running (a breathing outline,
// whose opacity alone changes) is cut to its clip once instead, and then
// copied rect by rect like any other.
void LayerRenderer::cutToClips() {
  for (Item& item : m_items) {
    if (item.clip < 0) continue;
    const Clip& clip = m_clips[item.clip];
    if (clip.region) continue;
    const quint64 key =
        mix(mix(mix(static_cast<quint64>(item.image.cacheKey()), static_cast<double>(item.position.x())),
                static_cast<double>(item.position.y())),
            clip.signature);
    auto [kept, firstSeen] = m_cutImages.try_emplace(key);
    kept->second.lastUsed = m_frame;
    if (firstSeen) continue;
    // An image the clip leaves whole (a wisp well inside rounded corners) is copied as it is.
    if (kept->second.image.isNull())
      kept->second.image = m_clips.spares(item.clip, item.rect) ? item.image : cut(item, clip);
    item.image = kept->second.image;
    item.cutToClip = true;
  }
  std::erase_if(m_cutImages, [&](const auto& kv) { return kv.second.lastUsed != m_frame; });
}

QImage LayerRenderer::cut(const Item& item, const Clip& clip) {
  QImage image = largeImage(item.image.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setTransform(QTransform::fromTranslate(-item.position.x(), -item.position.y()));
  // In strips, like a cached image, so that no blend goes to worker threads.
  for (int top = 0; top < image.height(); top += clippedStrip) {
    painter.setClipRect(QRect(item.position.x(), item.position.y() + top, image.width(), clippedStrip));
    for (const auto& path : clip.paths) painter.setClipPath(path, Qt::IntersectClip);
    painter.drawImage(item.position, item.image);
  }
  return image;
}

void LayerRenderer::paint(QPainter& painter, const QRegion& region) const {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QTransform base = QTransform::fromScale(1 / m_scale, 1 / m_scale);
  painter.setTransform(base);
  m_alignedColumn = alignedColumn(painter);
  int composited = 0;
  // What of the region each clip lets through, worked out once a frame: most
  // items lie within one mask.
  std::vector<std::optional<QRegion>> within(m_clips.clips().size());
  const auto regionFor = [&](const Item& item) -> const QRegion& {
    const QRegion* clip = rectClipOf(item);
    if (!clip) return region;
    auto& clipped = within[static_cast<std::size_t>(item.clip)];
    if (!clipped) clipped = region.intersected(*clip);
    return *clipped;
  };
  const auto throughPaths = [&](const Item& item) {
    return item.clip >= 0 && !m_clips[item.clip].region && !item.cutToClip;
  };
  const std::span<const Item> items(m_items);
  for (std::size_t first = 0; first < items.size();) {
    const Item& item = items[first];
    if (throughPaths(item)) {
      if (region.intersects(item.rect) && composite(painter, regionFor(item), item)) ++composited;
      ++first;
      continue;
    }
    std::size_t last = first + 1;
    while (last < items.size() && items[last].clip == item.clip && !throughPaths(items[last])) ++last;
    composited += compositeRun(painter, regionFor(item), items.subspan(first, last - first));
    first = last;
  }
  painter.restore();
  m_stats.composited = composited;
}

int LayerRenderer::compositeRun(QPainter& painter, const QRegion& region, std::span<const Item> items) const {
  // Each rect of the region is made the clip once, and every item under it
  // drawn there in turn, rather than a clip set for every item and rect it
  // meets: Qt intersects a new clip with the paint event's region each time.
  // The rects do not overlap, so every pixel still sees the items in order.
  struct Part {
    int rect = 0;  // in the region
    int item = 0;  // in `items`
  };
  std::vector<Part> parts;
  int drawn = 0;
  const QRect* const rects = region.begin();
  const QRect* const end = region.end();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const QRect& bounds = items[i].rect;
    // Its rects lie in bands from the top down: those above the item are skipped.
    const QRect* rect = std::partition_point(rects, end, [&](const QRect& r) { return r.bottom() < bounds.top(); });
    const std::size_t before = parts.size();
    for (; rect != end && rect->top() <= bounds.bottom(); ++rect) {
      // Rows overlap already; compared inline, as a fine region meets each item many times.
      if (rect->right() >= bounds.left() && rect->left() <= bounds.right()) {
        parts.push_back({static_cast<int>(rect - rects), static_cast<int>(i)});
      }
    }
    drawn += parts.size() > before;
  }
  // Gathered by rect in one counting pass rather than sorted: the parts
  // come item by item, so each rect's stay in the order of their items.
  std::vector<int> firstOf(static_cast<std::size_t>(end - rects) + 1, 0);
  for (const Part& part : parts) ++firstOf[static_cast<std::size_t>(part.rect) + 1];
  std::partial_sum(firstOf.begin(), firstOf.end(), firstOf.begin());
  std::vector<Part> byRect(parts.size());
  for (const Part& part : parts) {
    byRect[static_cast<std::size_t>(firstOf[static_cast<std::size_t>(part.rect)]++)] = part;
  }
  int clipped = -1;
  double opacity = painter.opacity();
  for (const Part& part : byRect) {
    if (part.rect != clipped) {
      painter.setClipRect(rects[part.rect]);
      clipped = part.rect;
    }
    const Item& item = items[static_cast<std::size_t>(part.item)];
    if (opacity != item.opacity) {
      painter.setOpacity(item.opacity);
      opacity = item.opacity;
    }
    // Whole-pixel placement: the part under the rect is the same pixels as the whole image clipped to it.
    const QRect& r = rects[part.rect];
    const QRect under(QPoint(std::max(r.left(), item.rect.left()), std::max(r.top(), item.rect.top())),
                      QPoint(std::min(r.right(), item.rect.right()), std::min(r.bottom(), item.rect.bottom())));
    const QRect shown = alignedPart(under, item.rect, QRect(item.position, item.image.size()), r, m_alignedColumn);
    painter.drawImage(shown.topLeft(), item.image, shown.translated(-item.position));
  }
  return drawn;
}

const QRegion* LayerRenderer::rectClipOf(const Item& item) const {
  if (item.clip < 0) return nullptr;
  const Clip& clip = m_clips[item.clip];
  return clip.region ? &*clip.region : nullptr;
}

bool LayerRenderer::composite(QPainter& painter, const QRegion& region, const Item& item) const {
  const Clip* clip = item.clip < 0 ? nullptr : &m_clips[item.clip];
  const std::vector<QPainterPath>* paths = clip && !clip->region && !item.cutToClip ? &clip->paths : nullptr;
  // One rect at a time, each the clip: Qt blends an image through its fast
  // path only under a clip that is a single rect. Under a clip of many rects
  // (a paint event's region, which every clip of a widget's painter lies
  // within) it takes a span path and hands that to worker threads, at several
  // times the cost of the blend itself. Whole-pixel placement makes copying
  // just the part under a rect the same pixels as drawing the whole image
  // clipped to it.
  const auto copy = [&](const QRect& part) {
    painter.setClipRect(part);
    if (paths) {
      for (const auto& path : *paths) painter.setClipPath(path, Qt::IntersectClip);
    }
    painter.drawImage(part.topLeft(), item.image, part.translated(-item.position));
  };
  bool drawn = false;
  // The region's rects met one by one cover the same pixels as their
  // intersection, without a region made for every item of every frame. Its
  // rects lie in bands from the top down: those above the item are skipped.
  const QRect* const end = region.end();
  const QRect* rect =
      std::partition_point(region.begin(), end, [&](const QRect& r) { return r.bottom() < item.rect.top(); });
  for (; rect != end && rect->top() <= item.rect.bottom(); ++rect) {
    const QRect part = *rect & item.rect;
    if (part.isEmpty()) continue;
    // A change of opacity costs Qt more than a small blit.
    if (!drawn && painter.opacity() != item.opacity) painter.setOpacity(item.opacity);
    drawn = true;
    if (!paths) {
      copy(part);
      continue;
    }
    // Through paths, in strips of rows for the same reason.
    for (int top = part.top(); top <= part.bottom(); top += clippedStrip) {
      copy(QRect(part.left(), top, part.width(), std::min(clippedStrip, part.bottom() + 1 - top)));
    }
  }
  return drawn;
}

}  // namespace pf
