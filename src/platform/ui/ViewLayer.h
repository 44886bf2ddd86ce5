#pragma once

#include "platform/gfx/Layer.h"

#include <memory>

class QWidget;

namespace pf {

/// A widget's own layer, as a layer-backed view has one. Its frame follows
/// the widget's size, y up, with its origin at the widget's bottom-left
/// corner. The layer's own properties act on the widget itself:
/// - `backgroundColor` (rounded by `cornerRadius`) is drawn beneath the
///   widget's own drawing;
/// - `masksToBounds` clips the widget's drawing, its child widgets and the
///   sublayers to the bounds rounded by `cornerRadius` (a pixel-exact edge);
/// - `borderWidth` and `borderColor` draw a border above the widget's drawing
///   and its child widgets, under the sublayers;
/// - a shadow (`shadowOpacity` above 0) is cast by everything the widget
///   draws, children included, outside its bounds too; offsets are y up.
/// Sublayers are decorations drawn above the widget and its children by a
/// LayerHost child that lets the mouse through; the labels beneath them are
/// drawn from pictures of themselves (LabelPictures). Changes show at the next turn
/// of the event loop, once per transaction.
class ViewLayer final {
 public:
  ViewLayer() = delete;

  /// The widget's layer, made on the first call; none for a null widget.
  static std::shared_ptr<Layer> ensure(QWidget* view);
  /// The widget's layer, or none when it has not been made.
  static std::shared_ptr<Layer> of(const QWidget* view);
  /// How many times a second the widget's sublayers are drawn while they
  /// animate: the frame clock's rate over a whole number; its full rate until set.
  /// Nothing happens before the layer is made.
  static void setFrameRate(const QWidget* view, double framesPerSecond);
};

}  // namespace pf
