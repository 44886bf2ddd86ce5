#include "app/LaunchedProgram.h"
#include "launcher/LauncherAssignmentStore.h"
#include "launcher/ui/LauncherViewController.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/ShortcutEditorController.h"
#include "widgets/GlassSurface.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

/// The whole program over a catalog whose only shortcut is not active.
class EditShortcutsRoad : public test::LaunchedProgram {
 protected:
  void SetUp() override {
    launch({{"docs", "Docs", ShortcutKind::web, "https://docs.example/", {}, std::nullopt, std::nullopt, false}});
  }
};

}  // namespace

TEST_F(EditShortcutsRoad, TheStatusMenuOpensTheEditorOverTheMainStore) {
  QAction* item = delegate->statusMenu().item(QStringLiteral("Edit Shortcuts…"));
  ASSERT_NE(item, nullptr);
  item->trigger();
  ShortcutEditorWindow* window = delegate->shortcutEditor().window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Edit Shortcuts — Wendle");
  EXPECT_EQ(delegate->shortcutEditor().draft().items.front().label, "Docs");
}

TEST_F(EditShortcutsRoad, TheLaunchersEmptyButtonOpensTheEditor) {
  QPushButton* button = delegate->launcher()->emptyButton();
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(delegate->shortcutEditor().window()->isVisible());
}
