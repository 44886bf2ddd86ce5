#pragma once

#include "widgets/ContentLayoutRules.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

/// Keeps a content view's subviews in proportion when the view is resized.
/// Made over a view whose subviews already stand at their base frames; the
/// owner keeps it for the window's life.
class ContentWindowLayout final : public QObject {
  Q_OBJECT

 public:
  /// Records the view's size and each direct subview's frame (y-up) as their
  /// base. With `readable`, first enlarges the fonts of the controls (by one
  /// point, at least 13, sliders excepted) and of bare text views (by one
  /// point), without descending into scroll views.
  ContentWindowLayout(QWidget* view, std::optional<pf::Rect> stretchArea, bool readable = true);

  /// Called after every layout pass.
  std::function<void()> onLayout;

  /// Puts every recorded subview back to its base frame.
  void restoreBaseFrames();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Subview {
    QPointer<QWidget> widget;
    pf::Rect base;
    ContentLayoutRules::Role role;
  };

  void layOut();

  QPointer<QWidget> m_view;
  std::optional<pf::Rect> m_stretchArea;
  pf::Size m_baseSize;
  std::vector<Subview> m_subviews;
};
