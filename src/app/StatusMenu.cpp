#include "app/StatusMenu.h"

const QStringList& StatusMenu::order() {
  static const QStringList titles{
      QStringLiteral("Hide Companions"),
      QStringLiteral("Add Companion"),
      QStringLiteral("Party / Team"),
      QStringLiteral("Party Attack / Support"),
      QStringLiteral("Remove Extra Companions"),
      QStringLiteral("Clipboard…"),
      QStringLiteral("Reminders…"),
      QStringLiteral("Open Shortcuts"),
      QStringLiteral("Edit Shortcuts…"),
      QStringLiteral("Settings…"),
      QStringLiteral("Reset Position"),
      QStringLiteral("Check for Updates…"),
      QStringLiteral("Automatic Updates"),
      QStringLiteral("Quit Wendle"),
  };
  return titles;
}

QAction* StatusMenu::add(const QString& title, std::function<void()> action) {
  const qsizetype rank = order().indexOf(title);
  if (rank < 0) return nullptr;
  int index = 0;
  for (QAction* existing : m_menu.actions()) {
    if (order().indexOf(existing->text()) > rank) break;
    ++index;
  }
  return m_menu.insertItem(index, title, std::move(action));
}
