#pragma once

#include "platform/core/Geometry.h"

#include <QMenu>
#include <functional>

namespace pf {

/// A menu whose items run closures. Items are plain `QAction`s, so callers set
/// check marks, enabling and payloads (`setData`) on them directly.
class Menu final : public QMenu {
  Q_OBJECT

 public:
  explicit Menu(const QString& title = {}, QWidget* parent = nullptr);

  /// Called when the menu opens and after it has closed.
  std::function<void()> onOpen;
  std::function<void()> onClose;

  /// Adds an item at the end that runs `action` when chosen.
  QAction* addItem(const QString& title, std::function<void()> action);
  /// Inserts an item before the item at `index` (at the end when out of range).
  QAction* insertItem(int index, const QString& title, std::function<void()> action);
  /// The first item with this title, or null.
  QAction* item(const QString& title) const;

  /// Shows the menu with its top-left corner at `location` (y-up screen
  /// coordinates) and returns once it has closed: the chosen item or null.
  QAction* popUp(Point location);
  /// Closes the menu if it is open; `popUp` then returns null.
  void cancelTracking();
};

}  // namespace pf
