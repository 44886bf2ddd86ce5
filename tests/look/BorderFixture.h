#pragma once

#include "look/QuibBorderVFX.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/ShapeLayer.h"

#include <functional>
#include <memory>
#include <vector>

/// What the border-effect tests share: the overlay's geometry, the default
/// tuning, and walks over a built tree.
namespace border_test {

/// The overlay's geometry: the window's frame inside a root 180 points larger on every side.
struct Band {
  explicit Band(double width, double height) : rect(180, 180, width, height) {
    root->setFrame(pf::Rect(0, 0, width + 360, height + 360));
  }
  void build(const BorderVFXConfiguration& c, bool reduced = false) {
    QuibBorderVFX::populate(*root, rect, c, reduced);
  }
  /// The direct sublayers named `name`, in order.
  std::vector<std::shared_ptr<pf::Layer>> named(const QString& name) const {
    std::vector<std::shared_ptr<pf::Layer>> out;
    for (const auto& l : root->sublayers()) {
      if (l->name() == name) out.push_back(l);
    }
    return out;
  }
  std::shared_ptr<pf::Layer> root = pf::Layer::make();
  pf::Rect rect;
};

/// The default tuning with the effect `type`.
inline BorderVFXConfiguration effect(QuibBorderEffect type) { return {type, 0.95, 1.35, 0.8, 1.0}; }

inline int countLayers(const pf::Layer& root, const std::function<bool(const pf::Layer&)>& which) {
  int n = 0;
  for (const auto& l : root.sublayers()) n += which(*l) ? 1 : 0;
  return n;
}

inline int withKey(const pf::Layer& root, const QString& key) {
  return countLayers(root, [&](const pf::Layer& l) { return l.animation(key) != nullptr; });
}

/// Every layer below `layer`, depth first.
inline void forEachLayer(const pf::Layer& layer, const std::function<void(const pf::Layer&)>& visit) {
  for (const auto& sub : layer.sublayers()) {
    visit(*sub);
    forEachLayer(*sub, visit);
  }
}

inline int layerCount(const pf::Layer& layer) {
  int n = 0;
  forEachLayer(layer, [&](const pf::Layer&) { ++n; });
  return n;
}

/// Every animation in the tree, depth first, group members included.
inline void forEachAnimation(const pf::Layer& layer, const std::function<void(const pf::Animation&)>& visit) {
  std::function<void(const pf::Animation&)> walk = [&](const pf::Animation& a) {
    visit(a);
    if (a.kind() == pf::Animation::Kind::group) {
      for (const auto& m : static_cast<const pf::AnimationGroup&>(a).animations) walk(*m);
    }
  };
  for (const auto& entry : layer.animations()) walk(*entry.animation);
  for (const auto& sub : layer.sublayers()) forEachAnimation(*sub, visit);
}

inline int animationCount(const pf::Layer& layer) {
  int n = 0;
  forEachAnimation(layer, [&](const pf::Animation&) { ++n; });
  return n;
}

inline const pf::ShapeLayer& shape(const pf::Layer& layer) { return dynamic_cast<const pf::ShapeLayer&>(layer); }

template <typename T>
std::shared_ptr<const T> animationAs(const pf::Layer& layer, const QString& key) {
  return std::dynamic_pointer_cast<const T>(layer.animation(key));
}

}  // namespace border_test
