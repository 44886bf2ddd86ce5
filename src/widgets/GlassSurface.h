#pragma once

#include "widgets/CachedDrawing.h"

#include <QWidget>
#include <functional>

/// The rounded glass root view of the launcher and of the content windows:
/// the skin's glass tint with a thin accent ring, the skin's decoration and
/// frame drawn above it and below every child, and the breathing outline kept
/// in step with its size. Reports the pointer entering and leaving. It takes
/// the skin's appearance when it is made, and its own layer rounds and clips
/// its corners. In a see-through window whose compositor blurs, it asks for
/// blur behind its rounded shape and lays its tint over that; anywhere else
/// the tint lies over the window's background, drawn opaque.
class GlassSurface : public QWidget {
  Q_OBJECT

 public:
  /// The corner radius of the surface's own layer.
  static constexpr double cornerRadius = 22;

  explicit GlassSurface(QWidget* parent = nullptr);

  /// Called with true when the pointer enters the surface, false when it leaves.
  std::function<void(bool)> onHover;

  /// Whether the compositor blurs what lies behind the glass (else the glass is opaque).
  bool blurred() const { return m_blurred; }

  /// A flag the launcher sets; setting it redraws the decoration, whose drawing does not depend on it.
  bool robotFrame() const { return m_robotFrame; }
  void setRobotFrame(bool robotFrame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  /// Asks for blur behind the glass where the compositor offers it, takes
  /// over the window's background where the window is drawn opaque, and
  /// redraws the glass when either changed.
  void updateBackdrop();

  CachedDrawing m_glass{"GlassSurface.glass"};
  bool m_robotFrame = false;
  bool m_blurred = false;
  bool m_opaque = false;  // the window beneath is drawn opaque: the glass paints all it covers
};
