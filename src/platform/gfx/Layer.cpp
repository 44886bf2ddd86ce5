#include "platform/gfx/Layer.h"

#include "platform/gfx/Transaction.h"

#include <algorithm>
#include <atomic>

namespace pf {

namespace {

quint64 nextSerial() {
  static std::atomic<quint64> counter{0};
  return ++counter;
}

}  // namespace

Layer::Layer(Kind kind) : m_kind(kind), m_serial(nextSerial()) {}

std::shared_ptr<Layer> Layer::make() { return std::shared_ptr<Layer>(new Layer(Kind::plain)); }

Layer::~Layer() {
  Transaction::forget(this);
  for (auto& child : m_sublayers) child->m_superlayer = nullptr;
  if (m_mask) m_mask->m_maskOwner = nullptr;
}

void Layer::contentChanged() {
  ++m_contentRevision;
  treeChanged();
}

void Layer::treeChanged() {
  ++m_revision;
  for (Layer* l = this; l; l = l->m_superlayer ? l->m_superlayer : l->m_maskOwner) {
    if (l->m_onChange) Transaction::notify(l);
  }
}

void Layer::setName(const QString& name) { m_name = name; }

std::optional<QString> Layer::value(const QString& key) const {
  const auto it = m_values.constFind(key);
  if (it == m_values.cend()) return std::nullopt;
  return *it;
}

void Layer::setValue(const QString& key, const QString& value) { m_values.insert(key, value); }

void Layer::setBounds(const Rect& bounds) {
  if (assign(m_bounds, bounds)) contentChanged();
}

void Layer::setPosition(Point position) {
  if (assign(m_position, position)) treeChanged();
}

void Layer::setAnchorPoint(Point anchor) {
  if (assign(m_anchorPoint, anchor)) treeChanged();
}

Rect Layer::frame() const {
  const Rect b = m_bounds.standardized();
  return Rect(m_position.x - m_anchorPoint.x * b.width(), m_position.y - m_anchorPoint.y * b.height(), b.width(),
              b.height());
}

void Layer::setFrame(const Rect& frame) {
  const Rect f = frame.standardized();
  if (f.isNull()) return;
  setBounds(Rect(m_bounds.origin, f.size));
  setPosition({f.minX() + m_anchorPoint.x * f.width(), f.minY() + m_anchorPoint.y * f.height()});
}

void Layer::setTransform(const Transform& transform) {
  if (assign(m_transform, transform)) treeChanged();
}

void Layer::setOpacity(double opacity) {
  if (assign(m_opacity, static_cast<float>(opacity))) treeChanged();
}

void Layer::setHidden(bool hidden) {
  if (assign(m_hidden, hidden)) treeChanged();
}

void Layer::setBackgroundColor(const std::optional<Color>& color) {
  if (assign(m_backgroundColor, color)) contentChanged();
}

void Layer::setCornerRadius(double radius) {
  if (assign(m_cornerRadius, radius)) contentChanged();
}

void Layer::setBorderWidth(double width) {
  if (assign(m_borderWidth, width)) contentChanged();
}

void Layer::setBorderColor(const std::optional<Color>& color) {
  if (assign(m_borderColor, color)) contentChanged();
}

void Layer::setMasksToBounds(bool masks) {
  if (assign(m_masksToBounds, masks)) treeChanged();
}

void Layer::setContents(const QImage& image) {
  if (image.cacheKey() == m_contents.cacheKey()) return;
  m_contents = image;
  contentChanged();
}

void Layer::setShadowColor(const std::optional<Color>& color) {
  if (assign(m_shadowColor, color)) contentChanged();
}

void Layer::setShadowOpacity(double opacity) {
  if (assign(m_shadowOpacity, static_cast<float>(opacity))) contentChanged();
}

void Layer::setShadowRadius(double radius) {
  if (assign(m_shadowRadius, radius)) contentChanged();
}

void Layer::setShadowOffset(Size offset) {
  if (assign(m_shadowOffset, offset)) contentChanged();
}

void Layer::setMask(std::shared_ptr<Layer> mask) {
  if (mask == m_mask) return;
  if (mask && isAncestorOrSelf(mask.get())) return;
  if (m_mask) m_mask->m_maskOwner = nullptr;
  if (mask) {
    mask->removeFromSuperlayer();
    if (mask->m_maskOwner) mask->m_maskOwner->setMask(nullptr);
    mask->m_maskOwner = this;
  }
  m_mask = std::move(mask);
  treeChanged();
}

bool Layer::isAncestorOrSelf(const Layer* layer) const {
  for (const Layer* l = this; l; l = l->m_superlayer ? l->m_superlayer : l->m_maskOwner) {
    if (l == layer) return true;
  }
  return false;
}

void Layer::addSublayer(std::shared_ptr<Layer> layer) {
  insertSublayer(std::move(layer), static_cast<int>(m_sublayers.size()));
}

void Layer::insertSublayer(std::shared_ptr<Layer> layer, int index) {
  if (!layer || isAncestorOrSelf(layer.get())) return;
  if (layer->m_maskOwner) layer->m_maskOwner->setMask(nullptr);
  layer->removeFromSuperlayer();
  index = std::clamp(index, 0, static_cast<int>(m_sublayers.size()));
  layer->m_superlayer = this;
  m_sublayers.insert(m_sublayers.begin() + index, std::move(layer));
  treeChanged();
}

void Layer::detach(const Layer* child) {
  const auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                               [&](const std::shared_ptr<Layer>& l) { return l.get() == child; });
  if (it == m_sublayers.end()) return;
  const auto removed = *it;  // destroyed only after the tree is consistent again
  removed->m_superlayer = nullptr;
  m_sublayers.erase(it);
  treeChanged();
}

void Layer::removeFromSuperlayer() {
  if (m_superlayer) m_superlayer->detach(this);
}

void Layer::removeAllSublayers() {
  if (m_sublayers.empty()) return;
  const auto removed = std::move(m_sublayers);
  m_sublayers.clear();
  for (const auto& child : removed) child->m_superlayer = nullptr;
  treeChanged();
}

std::shared_ptr<Layer> Layer::sublayerNamed(const QString& name) const {
  const auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                               [&](const std::shared_ptr<Layer>& l) { return l->name() == name; });
  return it == m_sublayers.end() ? nullptr : *it;
}

void Layer::addAnimation(const Animation& animation, const QString& key) {
  if (!key.isEmpty()) {
    std::erase_if(m_animations, [&](const AnimationEntry& e) { return e.key == key; });
  }
  m_animations.push_back({key, animation.clone(), Transaction::now()});
  treeChanged();
}

std::shared_ptr<const Animation> Layer::animation(const QString& key) const {
  if (key.isEmpty()) return nullptr;
  const auto it =
      std::find_if(m_animations.begin(), m_animations.end(), [&](const AnimationEntry& e) { return e.key == key; });
  return it == m_animations.end() ? nullptr : it->animation;
}

void Layer::removeAnimation(const QString& key) {
  if (key.isEmpty()) return;
  if (std::erase_if(m_animations, [&](const AnimationEntry& e) { return e.key == key; }) > 0) treeChanged();
}

void Layer::removeAllAnimations() {
  if (m_animations.empty()) return;
  m_animations.clear();
  treeChanged();
}

QStringList Layer::animationKeys() const {
  QStringList keys;
  for (const auto& e : m_animations) {
    if (!e.key.isEmpty()) keys << e.key;
  }
  return keys;
}

}  // namespace pf
