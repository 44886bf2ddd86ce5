#include "shortcuts/ShortcutDraft.h"

#include "shortcuts/ShortcutCatalog.h"

#include <QUuid>
#include <algorithm>

namespace {

// A draft never holds more than a catalog may.
bool isFull(const std::vector<Shortcut>& items) { return std::ssize(items) >= ShortcutCatalog::maximumShortcuts; }

bool holds(const std::vector<Shortcut>& items, int index) { return index >= 0 && index < std::ssize(items); }

QString newLabel(ShortcutKind kind) {
  switch (kind) {
    case ShortcutKind::web: return QStringLiteral("New Website");
    case ShortcutKind::application: return QStringLiteral("New App");
    case ShortcutKind::folder: return QStringLiteral("New Folder");
  }
  return {};
}

/// The indices of the shortcuts whose active state is `active`, in order.
std::vector<int> indicesWhere(const std::vector<Shortcut>& items, bool active) {
  std::vector<int> indices;
  for (int i = 0; i < int(items.size()); ++i)
    if (items[i].isActive == active) indices.push_back(i);
  return indices;
}

}  // namespace

ShortcutDraft::ShortcutDraft(std::vector<Shortcut> items) : original(items), items(std::move(items)) {}

bool ShortcutDraft::hasChanges() const {
  return items != original || !selectedFiles.empty() || !selectedImages.empty();
}

bool ShortcutDraft::canUndoRemoval() const { return !removed.empty() && !isFull(items); }

std::optional<int> ShortcutDraft::add(ShortcutKind kind) {
  if (isFull(items)) return std::nullopt;
  items.push_back({QUuid::createUuid().toString(QUuid::WithoutBraces).toLower(), newLabel(kind), kind, QString(),
                   QStringLiteral("Not configured — choose a destination"), std::nullopt, std::nullopt, true});
  return int(items.size()) - 1;
}

void ShortcutDraft::remove(int index) {
  if (holds(items, index)) items[index].isActive = false;
}

void ShortcutDraft::activate(int index) {
  if (holds(items, index)) items[index].isActive = true;
}

void ShortcutDraft::deleteAt(int index) {
  if (!holds(items, index) || items[index].isStock()) return;
  Removal removal{items[index], index, std::nullopt};
  items.erase(items.begin() + index);
  if (const auto file = selectedFiles.find(removal.item.id); file != selectedFiles.end()) {
    removal.file = file->second;
    selectedFiles.erase(file);
  }
  removed.push_back(std::move(removal));
}

std::optional<int> ShortcutDraft::undoRemoval() {
  if (!canUndoRemoval()) return std::nullopt;
  Removal removal = std::move(removed.back());
  removed.pop_back();
  const int index = std::min(removal.index, int(items.size()));
  if (removal.file)
    selectedFiles[removal.item.id] = *removal.file;
  else
    selectedFiles.erase(removal.item.id);
  items.insert(items.begin() + index, std::move(removal.item));
  return index;
}

std::optional<int> ShortcutDraft::move(int index, int offset) {
  if (!holds(items, index)) return std::nullopt;
  const std::vector<int> list = indicesWhere(items, items[index].isActive);
  const auto position = std::find(list.begin(), list.end(), index) - list.begin();
  const auto target = position + offset;
  if (target < 0 || target >= std::ssize(list)) return std::nullopt;
  std::swap(items[index], items[list[target]]);
  return list[target];
}

bool ShortcutDraft::swapActive(const QString& id, int position) {
  const std::vector<int> active = indicesWhere(items, true);
  const auto found = std::find_if(active.begin(), active.end(), [&](int index) { return items[index].id == id; });
  if (found == active.end() || position < 0 || position >= std::ssize(active)) return false;
  std::swap(items[*found], items[active[position]]);
  return true;
}
