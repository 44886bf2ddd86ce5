#include "launcher/ui/LauncherArrangementMenus.h"

#include "launcher/LauncherAssignmentStore.h"
#include "launcher/LauncherSlot.h"
#include "launcher/ui/LauncherArrangement.h"
#include "launcher/ui/LauncherViewController.h"
#include "launcher/ui/ShortcutButton.h"
#include "platform/core/Text.h"
#include "shortcuts/ShortcutStore.h"

#include <algorithm>

LauncherArrangementMenus::LauncherArrangementMenus(ShortcutStore& store, LauncherAssignmentStore& assignments,
                                                   LauncherArrangement& arrangement,
                                                   const LauncherViewController& launcher)
    : m_store(store), m_assignments(assignments), m_arrangement(arrangement), m_launcher(launcher) {}

bool LauncherArrangementMenus::isWritable() const {
  return m_store.catalogIsWritable() && !m_assignments.error();
}

void LauncherArrangementMenus::cancel() {
  if (m_activeMenu) m_activeMenu->cancelTracking();
}

void LauncherArrangementMenus::offerAssignment(const LauncherSlot& slot, pf::Point at) {
  m_arrangement.setArranging(true);
  const std::unique_ptr<pf::Menu> menu = assignmentMenu(slot);
  runMenu(*menu, at);
}

void LauncherArrangementMenus::showContextMenu(ShortcutButton* button, pf::Point at) {
  m_arrangement.setArranging(true);
  const std::vector<ShortcutButton*>& buttons = m_launcher.buttons();
  const auto found = std::find(buttons.begin(), buttons.end(), button);
  if (found == buttons.end()) {
    m_activeMenu = nullptr;
    m_arrangement.setArranging(false);
    return;
  }
  const LauncherSlot slot =
      LauncherSlot::visible(m_launcher.page(), m_launcher.grid())[std::size_t(found - buttons.begin())];
  const bool showsShortcut = m_store.item(button->shortcutID()).has_value();
  const std::unique_ptr<pf::Menu> menu =
      !slot.wide && showsShortcut ? moveMenu(button->shortcutID()) : assignmentMenu(slot);
  runMenu(*menu, at);
}

// Arranging ends only once the menu has returned: Qt hides a menu before it
// runs the chosen item, and that item still needs the arrangement's snapshot.
void LauncherArrangementMenus::runMenu(pf::Menu& menu, pf::Point at) {
  QPointer<LauncherArrangementMenus> self(this);
  m_activeMenu = &menu;
  menu.popUp(at);
  if (!self) return;
  m_activeMenu = nullptr;
  m_arrangement.setArranging(false);
}

std::unique_ptr<pf::Menu> LauncherArrangementMenus::moveMenu(const QString& id) {
  auto menu = std::make_unique<pf::Menu>(QStringLiteral("Arrange Shortcut"));
  const std::vector<Shortcut> original = m_arrangement.snapshot().value_or(m_store.shortcuts());
  const std::optional<LauncherSlot> slot = m_assignments.value().slot(id);
  if (!slot) return menu;
  const LauncherGrid& grid = m_launcher.grid();
  const qint64 capacity = grid.capacity();
  const auto globalIndex = [&](qint64 page, const std::vector<LauncherSlot>& onPage, const LauncherSlot& s) {
    const auto at = std::find(onPage.begin(), onPage.end(), s);
    return page * capacity + (at == onPage.end() ? 0 : qint64(at - onPage.begin()));
  };
  const qint64 current = globalIndex(slot->page, LauncherSlot::visible(slot->page, grid), *slot);
  std::optional<qint64> last;
  const qint64 pages = m_launcher.pageCount();
  for (qint64 page = 0; page < pages; ++page)
    for (const LauncherSlot& s : LauncherSlot::visible(page, grid))
      if (m_assignments.value().id(s, m_store.shortcuts()))
        last = std::max(last.value_or(0), globalIndex(page, LauncherSlot::visible(page, grid), s));
  const qint64 lastIndex = last.value_or(current);
  const bool writable = isWritable();
  const auto add = [&](pf::Menu& into, const QString& title, qint64 target) {
    QAction* item = into.addItem(title, [this, request = ShortcutSwapRequest{id, target, original}] {
      moveFromMenu(request);
    });
    item->setEnabled(writable && target >= 0 && target <= lastIndex && target != current);
  };
  add(*menu, QStringLiteral("Swap with Previous"), current - 1);
  add(*menu, QStringLiteral("Swap with Next"), current + 1);
  menu->addSeparator();
  add(*menu, QStringLiteral("Swap with First"), 0);
  add(*menu, QStringLiteral("Swap with Last"), lastIndex);
  if (pages > 1) {
    auto* pageMenu = new pf::Menu(QStringLiteral("Swap with Page"), menu.get());
    for (qint64 n = 1; n <= pages; ++n) add(*pageMenu, QStringLiteral("Page %1").arg(n), (n - 1) * capacity);
    menu->addMenu(pageMenu);
  }
  return menu;
}

void LauncherArrangementMenus::moveFromMenu(const ShortcutSwapRequest& request) {
  if (m_arrangement.isArranging()) {
    m_arrangement.applySwap(request.id, request.index, request.original);
    return;
  }
  m_arrangement.setArranging(true);
  m_arrangement.applySwap(request.id, request.index, request.original);
  m_arrangement.setArranging(false);
}

std::unique_ptr<pf::Menu> LauncherArrangementMenus::assignmentMenu(const LauncherSlot& slot) {
  auto menu = std::make_unique<pf::Menu>(QStringLiteral("Choose shortcut"));
  std::vector<Shortcut> actives = m_store.activeShortcuts();
  std::stable_sort(actives.begin(), actives.end(),
                   [](const Shortcut& a, const Shortcut& b) { return pf::Text::naturalLess(a.label, b.label); });
  const auto& slotIDs = m_assignments.value().slotIDs;
  const auto assigned = slotIDs.find(slot.key());
  const bool placed = assigned != slotIDs.end();
  for (const Shortcut& shortcut : actives) {
    QAction* action = menu->addItem(shortcut.label, [this, id = shortcut.id, slot] { chooseAssignment(slot, id); });
    action->setCheckable(true);
    action->setChecked(placed && assigned->second == shortcut.id);
    action->setEnabled(isWritable());
  }
  if (slot.wide && placed) {
    menu->addSeparator();
    QAction* clear = menu->addItem(QStringLiteral("Clear large button"),
                                   [this, slot] { chooseAssignment(slot, std::nullopt); });
    clear->setEnabled(!m_assignments.error());
  }
  return menu;
}

void LauncherArrangementMenus::chooseAssignment(const LauncherSlot& slot, const std::optional<QString>& id) {
  m_arrangement.assign(id, slot);
}
