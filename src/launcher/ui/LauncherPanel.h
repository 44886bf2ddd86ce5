#pragma once

#include "platform/ui/Panel.h"

#include <QPointer>
#include <memory>
#include <vector>

class LauncherOuterResize;
class LauncherResizeBorder;
class QPropertyAnimation;

/// The floating window beside the companion that holds the launcher (and
/// the reminder bubble): borderless, shown without taking the focus, one
/// level in front of the desktop panel, never hidden when the application
/// deactivates. It opens beside the companion, fading in briefly.
class LauncherPanel final : public pf::Panel {
  Q_OBJECT

 public:
  /// How far around the panel the pointer still counts as over it.
  static constexpr double hoverMargin = 24;
  /// How long the panel takes to fade in.
  static constexpr int fadeMilliseconds = 140;

  /// A panel of `size` showing `content`; with a launcher's `resizeBorder`
  /// it also gets the outer resize handles.
  LauncherPanel(QWidget* content, pf::Size size, LauncherResizeBorder* resizeBorder = nullptr);
  ~LauncherPanel() override;

  /// The outer resize handles, for a launcher.
  LauncherOuterResize* outerResize() const { return m_outerResize.get(); }

  /// False when hidden; otherwise whether the frame grown by the hover margin holds `screenPoint`.
  bool containsHover(pf::Point screenPoint) const;

  /// Moves the panel beside `anchor` and shows it, fading in unless motion is reduced.
  void reveal(const pf::Rect& anchor, const pf::Rect& screenFrame, const pf::Rect& visibleFrame,
              const std::vector<pf::Rect>& dockFrames);
  /// Hides the panel and its handles at once, stopping a fade.
  void dismiss();

  /// True while the panel fades in.
  bool isFading() const;

 private:
  std::unique_ptr<LauncherOuterResize> m_outerResize;
  QPointer<QPropertyAnimation> m_fade;
};
