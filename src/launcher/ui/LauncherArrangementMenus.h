#pragma once

#include "platform/core/Geometry.h"
#include "platform/ui/Menu.h"
#include "shortcuts/Shortcut.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class LauncherArrangement;
class LauncherAssignmentStore;
class LauncherViewController;
class ShortcutButton;
class ShortcutStore;
struct LauncherSlot;

/// What an "Arrange Shortcut" item swaps: the shortcut, the target's global
/// index (page x capacity + slot), and the catalog as the menu saw it.
struct ShortcutSwapRequest {
  QString id;
  qint64 index = 0;
  std::vector<Shortcut> original;
};

/// The launcher's two arrangement menus: "Arrange Shortcut", which swaps a
/// small button's shortcut with a neighbour, the first, the last or a page's
/// first, and "Choose shortcut", which puts an active shortcut on a slot or
/// clears a large one. A menu arranges from the moment it opens until it has
/// returned, so a chosen item still sees the catalog as the menu did.
class LauncherArrangementMenus final : public QObject {
  Q_OBJECT

 public:
  /// Menus over `launcher`'s page, arranging through `arrangement`; all must outlive them.
  LauncherArrangementMenus(ShortcutStore& store, LauncherAssignmentStore& assignments,
                           LauncherArrangement& arrangement, const LauncherViewController& launcher);

  /// Offers "Choose shortcut" for `slot` at `at` (screen, y up).
  void offerAssignment(const LauncherSlot& slot, pf::Point at);
  /// The right-click menu of `button`: "Arrange Shortcut" on a small button showing a shortcut, else "Choose shortcut".
  void showContextMenu(ShortcutButton* button, pf::Point at);
  /// Closes the open menu without a choice.
  void cancel();

  /// The "Arrange Shortcut" menu of a shortcut on a small button.
  std::unique_ptr<pf::Menu> moveMenu(const QString& id);
  /// The "Choose shortcut" menu of a slot.
  std::unique_ptr<pf::Menu> assignmentMenu(const LauncherSlot& slot);
  /// The menu while it is open.
  pf::Menu* activeMenu() const { return m_activeMenu; }

 private:
  void runMenu(pf::Menu& menu, pf::Point at);
  void moveFromMenu(const ShortcutSwapRequest& request);
  void chooseAssignment(const LauncherSlot& slot, const std::optional<QString>& id);
  bool isWritable() const;

  ShortcutStore& m_store;
  LauncherAssignmentStore& m_assignments;
  LauncherArrangement& m_arrangement;
  const LauncherViewController& m_launcher;
  QPointer<pf::Menu> m_activeMenu;
};
