#pragma once

#include <QPushButton>
#include <QStringList>
#include <functional>

class QMenu;

namespace pf {
class Canvas;
}

/// The pull-down that adds a shortcut: an accent capsule labelled
/// "＋ Add… ⌄" whose menu lists the items after its title item.
class EditorAddPopup final : public QPushButton {
  Q_OBJECT

 public:
  /// `items` starts with the pull-down's title, which the menu does not list.
  explicit EditorAddPopup(const QStringList& items, QWidget* parent = nullptr);

  /// The fixed label drawn on the control.
  static const QString label;

  /// Called with the chosen item's index in `items` (1 for the first listed).
  std::function<void(int)> onChoose;

  /// The menu it pulls down.
  QMenu* menu() const { return m_menu; }
  /// The index in `items` of the item chosen last, 0 before any choice.
  int selectedIndex() const { return m_selectedIndex; }
  /// Paints the fill and border, y-up over the control's bounds.
  void drawFace(pf::Canvas& canvas) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void pullDown();

  QMenu* m_menu = nullptr;
  int m_selectedIndex = 0;
};
