#pragma once

#include "platform/core/Color.h"
#include "platform/core/Geometry.h"
#include "platform/gfx/Animation.h"
#include "platform/gfx/Transform.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pf {

/// A node of a layer tree: geometry, appearance, sublayers and animations,
/// in y-up coordinates. Plain data with no knowledge of how it is drawn;
/// renderers read it (and its animations, through the evaluator) at any time.
///
/// Geometry follows the platform this stands in for: `bounds` is the layer's
/// own coordinate space, `position` places its `anchorPoint` (a fraction of the
/// bounds, default the centre) in the superlayer's space, and `transform`
/// turns and scales about that point. Sublayers draw above their superlayer's
/// content, later ones above earlier ones.
class Layer : public std::enable_shared_from_this<Layer> {
 public:
  enum class Kind { plain, shape, gradient };

  /// An animation the layer runs, with the time it was added.
  struct AnimationEntry {
    QString key;
    std::shared_ptr<const Animation> animation;
    double addedAt = 0;
  };

  static std::shared_ptr<Layer> make();
  virtual ~Layer();
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  Kind kind() const { return m_kind; }
  /// A number no other layer of this process has; renderers key their caches by it.
  quint64 serial() const { return m_serial; }

  const QString& name() const { return m_name; }
  void setName(const QString& name);
  /// String values stored on the layer by key (what it was built for, and the like).
  std::optional<QString> value(const QString& key) const;
  void setValue(const QString& key, const QString& value);
  const QMap<QString, QString>& values() const { return m_values; }

  Rect bounds() const { return m_bounds; }
  void setBounds(const Rect& bounds);
  Point position() const { return m_position; }
  void setPosition(Point position);
  Point anchorPoint() const { return m_anchorPoint; }
  void setAnchorPoint(Point anchor);
  /// The bounds placed in the superlayer (ignoring the transform).
  Rect frame() const;
  /// Sets the bounds' size and the position so that the untransformed layer covers `frame`.
  void setFrame(const Rect& frame);
  const Transform& transform() const { return m_transform; }
  void setTransform(const Transform& transform);
  /// Stored in single precision, like the platform's.
  float opacity() const { return m_opacity; }
  void setOpacity(double opacity);
  bool isHidden() const { return m_hidden; }
  void setHidden(bool hidden);

  /// None draws no background.
  const std::optional<Color>& backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const std::optional<Color>& color);
  /// Rounds the background's and the border's corners, and the clip of `masksToBounds`.
  double cornerRadius() const { return m_cornerRadius; }
  void setCornerRadius(double radius);
  /// A line drawn inside the bounds' edge, above the layer's own content and below its sublayers; 0 draws none.
  double borderWidth() const { return m_borderWidth; }
  void setBorderWidth(double width);
  /// The border's colour, opaque black by default; none draws no border.
  const std::optional<Color>& borderColor() const { return m_borderColor; }
  void setBorderColor(const std::optional<Color>& color);
  /// Clips the layer's content and its sublayers to its bounds, rounded by
  /// `cornerRadius`; the layer's shadow is clipped away with them.
  bool masksToBounds() const { return m_masksToBounds; }
  void setMasksToBounds(bool masks);
  /// An image stretched over the bounds, drawn upright (its first row at the top).
  const QImage& contents() const { return m_contents; }
  void setContents(const QImage& image);

  /// The shadow of the layer's own content; shown only with a shadow opacity above 0.
  const std::optional<Color>& shadowColor() const { return m_shadowColor; }
  void setShadowColor(const std::optional<Color>& color);
  float shadowOpacity() const { return m_shadowOpacity; }
  void setShadowOpacity(double opacity);
  /// The blur radius, in the layer's coordinates.
  double shadowRadius() const { return m_shadowRadius; }
  void setShadowRadius(double radius);
  /// y up: the default (0, -3) puts the shadow below.
  Size shadowOffset() const { return m_shadowOffset; }
  void setShadowOffset(Size offset);

  /// Shows the layer and its sublayers only where the mask layer's content is
  /// (for a shape mask: its filled path, with its fill rule). The mask lives in
  /// this layer's coordinates and belongs to no superlayer.
  const std::shared_ptr<Layer>& mask() const { return m_mask; }
  void setMask(std::shared_ptr<Layer> mask);

  Layer* superlayer() const { return m_superlayer; }
  const std::vector<std::shared_ptr<Layer>>& sublayers() const { return m_sublayers; }
  /// Appends (drawn above the others); a layer is first taken from its old superlayer.
  void addSublayer(std::shared_ptr<Layer> layer);
  /// Inserts at `index` (0 draws below all others), held to the valid range.
  void insertSublayer(std::shared_ptr<Layer> layer, int index);
  void removeFromSuperlayer();
  void removeAllSublayers();
  /// The first direct sublayer with that name, if any.
  std::shared_ptr<Layer> sublayerNamed(const QString& name) const;

  /// Runs a copy of `animation` from now (from when the open Transaction
  /// began); replaces an animation with the same (non-empty) key, and the new
  /// one is applied after the others.
  void addAnimation(const Animation& animation, const QString& key = {});
  /// The running copy under `key`: the same object on every call until it is removed or replaced.
  std::shared_ptr<const Animation> animation(const QString& key) const;
  void removeAnimation(const QString& key);
  void removeAllAnimations();
  QStringList animationKeys() const;
  const std::vector<AnimationEntry>& animations() const { return m_animations; }

  /// Increases whenever something this layer draws itself changes (not its
  /// placement, opacity or sublayers): renderers redraw a cached image then.
  quint64 contentRevision() const { return m_contentRevision; }
  /// Increases whenever anything of this layer itself changes: what it draws,
  /// its placement, opacity, animations, mask or list of sublayers.
  quint64 revision() const { return m_revision; }
  /// Called when this layer or anything in its tree below changes, once per
  /// change or once per outermost Transaction.
  void setOnChange(std::function<void()> callback) { m_onChange = std::move(callback); }

 protected:
  explicit Layer(Kind kind);
  /// Something drawn changed.
  void contentChanged();
  /// Placement, opacity, the tree or the animations changed.
  void treeChanged();
  /// Stores `value`; true when it differs from what was there.
  template <typename T>
  static bool assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
  }

 private:
  friend class Transaction;
  bool isAncestorOrSelf(const Layer* layer) const;
  void detach(const Layer* child);

  Kind m_kind = Kind::plain;
  quint64 m_serial = 0;
  QString m_name;
  QMap<QString, QString> m_values;
  Rect m_bounds;
  Point m_position;
  Point m_anchorPoint{0.5, 0.5};
  Transform m_transform;
  float m_opacity = 1;
  bool m_hidden = false;
  std::optional<Color> m_backgroundColor;
  double m_cornerRadius = 0;
  double m_borderWidth = 0;
  std::optional<Color> m_borderColor = Color::calibratedRGB(0, 0, 0, 1);
  bool m_masksToBounds = false;
  QImage m_contents;
  std::optional<Color> m_shadowColor = Color::calibratedRGB(0, 0, 0, 1);
  float m_shadowOpacity = 0;
  double m_shadowRadius = 3;
  Size m_shadowOffset{0, -3};
  std::shared_ptr<Layer> m_mask;
  Layer* m_maskOwner = nullptr;
  Layer* m_superlayer = nullptr;
  std::vector<std::shared_ptr<Layer>> m_sublayers;
  std::vector<AnimationEntry> m_animations;
  quint64 m_contentRevision = 0;
  quint64 m_revision = 0;
  std::function<void()> m_onChange;
};

}  // namespace pf
