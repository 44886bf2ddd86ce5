#include "platform/ui/Menu.h"

#include "platform/ui/Screens.h"

namespace pf {

Menu::Menu(const QString& title, QWidget* parent) : QMenu(title, parent) {
  connect(this, &QMenu::aboutToShow, this, [this] {
    if (onOpen) onOpen();
  });
  connect(this, &QMenu::aboutToHide, this, [this] {
    if (onClose) onClose();
  });
}

QAction* Menu::addItem(const QString& title, std::function<void()> action) {
  return insertItem(int(actions().size()), title, std::move(action));
}

QAction* Menu::insertItem(int index, const QString& title, std::function<void()> action) {
  auto* item = new QAction(title, this);
  if (action) connect(item, &QAction::triggered, this, [action = std::move(action)] { action(); });
  const QList<QAction*> items = actions();
  insertAction(index >= 0 && index < items.size() ? items[index] : nullptr, item);
  return item;
}

QAction* Menu::item(const QString& title) const {
  for (QAction* action : actions())
    if (action->text() == title) return action;
  return nullptr;
}

QAction* Menu::popUp(Point location) { return exec(Screens::toQt(location)); }

void Menu::cancelTracking() { close(); }

}  // namespace pf
