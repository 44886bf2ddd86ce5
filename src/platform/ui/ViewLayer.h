#pragma once

#include "platform/gfx/Layer.h"

#include <memory>

class QWidget;

namespace pf {

/// A widget's own layer, as a layer-backed view has one: a LayerHost child
/// that covers the widget, stays above its other children and lets the mouse
/// through. The layer's frame follows the widget's size, y up, with its origin
/// at the widget's bottom-left corner; decorations are its sublayers.
class ViewLayer final {
 public:
  ViewLayer() = delete;

  /// The widget's layer, made on the first call; none for a null widget.
  static std::shared_ptr<Layer> ensure(QWidget* view);
  /// The widget's layer, or none when it has not been made.
  static std::shared_ptr<Layer> of(const QWidget* view);
};

}  // namespace pf
