#pragma once

#include "launcher/LauncherAssignmentStore.h"
#include "launcher/ui/LauncherViewController.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutStore.h"
#include "support/TestFiles.h"
#include "widgets/GlassSurface.h"

#include <QStringList>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <map>
#include <memory>

/// What the launcher's arrangement tests share: what it tells its owner, and
/// a shown launcher over fresh positions.
namespace arrangement {

inline const QString conflict = CatalogError::conflict().errorDescription();

/// What the launcher tells its owner, in order.
struct Journal {
  QStringList events;
  void watch(LauncherViewController& launcher) {
    launcher.onArrangeInteraction = [this](bool on) { events << (on ? "arranging" : "arranged"); };
    launcher.onArrangeError = [this](const QString& message) { events << "error: " + message; };
    launcher.onOpen = [this](const Shortcut& s) { events << "open " + s.id; };
    launcher.onDismiss = [this] { events << "dismiss"; };
  }
};

inline QPoint centerOf(const QWidget* view) { return view->geometry().center(); }

/// The launcher's window, where the pointer's events arrive as they do from the system.
inline QWindow* windowOf(LauncherViewController& launcher) { return launcher.view()->window()->windowHandle(); }

inline void show(LauncherViewController& launcher) {
  launcher.view()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(launcher.view()));
}

/// A launcher over positions made afresh, shown, telling `journal`.
inline std::unique_ptr<LauncherViewController> shownAfresh(ShortcutStore& store, Journal& journal) {
  LauncherAssignmentStore::resetShared();
  auto launcher = std::make_unique<LauncherViewController>(store);
  journal.watch(*launcher);
  show(*launcher);
  return launcher;
}

inline std::map<QString, QString> savedSlots(const LauncherViewController& launcher) {
  return LauncherAssignments::decode(test::contentsOf(launcher.assignments().url())).slotIDs;
}

/// Renames the first shortcut, as another copy or the editor would while a menu is open.
inline void editCatalog(ShortcutStore& store) {
  std::vector<Shortcut> edited = store.shortcuts();
  edited[0].label += " (edited)";
  store.replaceShortcuts(edited);
}

}  // namespace arrangement
