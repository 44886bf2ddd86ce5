#pragma once

#include "platform/core/Geometry.h"

#include <QWidget>
#include <array>

/// The three themed cards behind the editor's controls (the two lists and
/// the detail card), scaled with the window's width and stretched with its
/// height. Never takes the mouse.
class EditorBackdrop final : public QWidget {
  Q_OBJECT

 public:
  explicit EditorBackdrop(QWidget* parent = nullptr);

  /// The cards for a backdrop of `size`, y-up: left list, right list, detail.
  static std::array<pf::Rect, 3> cards(pf::Size size);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
