#pragma once

#include "platform/ui/Panel.h"

#include <optional>

namespace pf {

/// A panel that only decorates its parent window (see `addChildWindow`): it
/// takes no clicks, never becomes key, and the window manager never frames,
/// focuses, lists or moves it. It shows while the program shows it and its
/// parent is on screen.
///
/// On X11 it is an override-redirect window with an empty input shape: a
/// manager's frame around it takes the clicks whatever the input shape, and
/// the manager would list, focus and place it like any window. Since no
/// manager stacks or moves it then, it is kept directly above its parent's
/// frame here, moved with that frame as it moves (the manager tells the
/// parent only once a drag ends), and hidden while the parent is unmapped,
/// minimised or on another desktop. Elsewhere it is an ordinary
/// click-through child panel.
class OverlayPanel : public Panel {
  Q_OBJECT

 public:
  OverlayPanel();
  ~OverlayPanel() override;

  /// Shows or hides the panel as the program wants it; while shown it is
  /// visible only as long as its parent is on screen.
  void setVisible(bool visible) override;

 protected:
  void bringToFront() override;
  void moveWithParent(QPoint delta) override;
  void placeGeometry(const QRect& geometry) override;

 private:
  friend class X11OverlayStacking;

  /// Shows or hides the panel as its parent comes on screen or leaves it.
  void showWithParent(bool parentOnScreen);
  /// Keeps the panel where the program put it relative to its parent, now
  /// that the parent's top-left corner is at `parentAt` (Qt's coordinates).
  void followParentTo(QPoint parentAt);
  /// How far the parent is from where Qt last knew it when the panel was placed.
  QPoint parentDisplacement() const;

  bool m_wanted = false;
  bool m_held = false;
  /// Where the program last put the panel, and where its parent was then.
  QPoint m_placedAt;
  std::optional<QPoint> m_parentWhenPlaced;
  /// Where the parent is, as the window manager moves it.
  std::optional<QPoint> m_parentAt;
};

}  // namespace pf
