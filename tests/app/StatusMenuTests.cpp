#include "app/StatusMenu.h"

#include <gtest/gtest.h>

TEST(StatusMenu, KeepsItemsInTheirFixedOrderWhateverOrderTheyComeIn) {
  StatusMenu menu;
  QStringList ran;
  menu.add(QStringLiteral("Quit Wendle"), [&] { ran << QStringLiteral("quit"); });
  menu.add(QStringLiteral("Hide Companions"), nullptr);
  menu.add(QStringLiteral("Reset Position"), nullptr);
  menu.add(QStringLiteral("Edit Shortcuts…"), nullptr);
  menu.add(QStringLiteral("Clipboard…"), nullptr);
  EXPECT_EQ(menu.add(QStringLiteral("Preferences"), nullptr), nullptr);
  QStringList titles;
  for (QAction* action : menu.menu().actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{"Hide Companions", "Clipboard…", "Edit Shortcuts…", "Reset Position", "Quit Wendle"}));
  menu.item(QStringLiteral("Quit Wendle"))->trigger();
  EXPECT_EQ(ran, QStringList{"quit"});
  EXPECT_EQ(StatusMenu::order().size(), 14);
}
