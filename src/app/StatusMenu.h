#pragma once

#include "platform/ui/Menu.h"

#include <QStringList>
#include <functional>

/// The application's menu, shown by the status item and on the companion's
/// right-click. Each feature adds its own item; the menu keeps the items in
/// one fixed order whatever order they are added in.
class StatusMenu final {
 public:
  /// Every title the menu can hold, in the order it shows them.
  static const QStringList& order();

  pf::Menu& menu() { return m_menu; }

  /// Adds the item titled `title` (one of `order()`) in its place; returns
  /// null for any other title.
  QAction* add(const QString& title, std::function<void()> action);
  /// The item titled `title`, or null.
  QAction* item(const QString& title) const { return m_menu.item(title); }

 private:
  pf::Menu m_menu;
};
