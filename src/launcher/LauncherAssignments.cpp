#include "launcher/LauncherAssignments.h"

#include "platform/core/Json.h"
#include "platform/core/JsonReader.h"
#include "shortcuts/CatalogError.h"
#include "shortcuts/ShortcutCatalog.h"

#include <QJsonArray>
#include <QSet>
#include <algorithm>

namespace {

const QString versionKey = QStringLiteral("version");
const QString columnsKey = QStringLiteral("columns");
const QString rowsKey = QStringLiteral("rows");
const QString slotsKey = QStringLiteral("slots");
const QString waitingKey = QStringLiteral("waiting");

/// One entry of the slots map whose key reads as a slot.
struct Entry {
  QString key;
  LauncherSlot slot;
  QString id;
};

bool isActiveIn(const QString& id, const std::vector<Shortcut>& items) {
  return std::any_of(items.begin(), items.end(), [&](const Shortcut& item) { return item.id == id && item.isActive; });
}

/// The entries whose key reads as a slot, in reading order of their slots.
std::vector<Entry> parsedEntries(const std::map<QString, QString>& slotIDs) {
  std::vector<Entry> entries;
  for (const auto& [key, id] : slotIDs)
    if (const auto slot = LauncherSlot::fromKey(key)) entries.push_back({key, *slot, id});
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return LauncherSlot::ordered(a.slot, b.slot); });
  return entries;
}

/// The entry that holds `id`, found under the key it is actually stored under.
std::optional<Entry> entryHolding(const std::map<QString, QString>& slotIDs, const QString& id) {
  for (const auto& [key, stored] : slotIDs)
    if (stored == id)
      if (const auto slot = LauncherSlot::fromKey(key)) return Entry{key, *slot, stored};
  return std::nullopt;
}

/// Wide entries of active shortcuts, re-keyed canonically. The launcher looks
/// a button up by its canonical key, so an entry under another spelling
/// ("0:w:0:+1") would hold its shortcut on no visible button. When two keys
/// name one slot, the canonical one (the one shown) wins; the other shortcut
/// goes back among the candidates for small buttons.
std::map<QString, QString> keptWideEntries(const std::vector<Entry>& entries, const QSet<QString>& active,
                                           QSet<QString>& seen) {
  std::map<QString, QString> kept;
  for (const bool canonical : {true, false})
    for (const Entry& entry : entries) {
      if (!entry.slot.wide) continue;
      const QString key = entry.slot.key();
      if ((entry.key == key) != canonical) continue;
      if (!active.contains(entry.id) || seen.contains(entry.id) || kept.count(key)) continue;
      kept.emplace(key, entry.id);
      seen.insert(entry.id);
    }
  return kept;
}

}  // namespace

LauncherAssignments::LauncherAssignments(const std::vector<Shortcut>& items, const LauncherGrid& grid)
    : columns(grid.columns), rows(grid.rows) {
  reconcile(items, grid);
}

void LauncherAssignments::reconcile(const std::vector<Shortcut>& items, const LauncherGrid& grid) {
  QStringList active;
  for (const Shortcut& item : items)
    if (item.isActive) active << item.id;
  const QSet<QString> activeSet(active.begin(), active.end());

  const std::vector<Entry> entries = parsedEntries(slotIDs);
  QSet<QString> seen;
  std::map<QString, QString> kept = keptWideEntries(entries, activeSet, seen);

  QStringList candidates;
  for (const Entry& entry : entries) {
    if (entry.slot.wide) continue;
    const auto stored = slotIDs.find(entry.slot.key());
    if (stored != slotIDs.end()) candidates << stored->second;
  }
  candidates << waiting << active;

  QStringList order;
  for (const QString& id : std::as_const(candidates)) {
    if (!activeSet.contains(id) || seen.contains(id)) continue;
    seen.insert(id);
    order << id;
  }

  columns = grid.columns;
  rows = grid.rows;
  waiting.clear();
  const qint64 perPage = grid.compactCapacity();
  if (perPage < 1) {
    waiting = order;
  } else {
    const qint64 perRow = 2 * grid.columns;
    for (qint64 n = 0; n < order.size(); ++n) {
      const qint64 index = n % perPage;
      const LauncherSlot slot{n / perPage, false, index / perRow, index % perRow};
      kept[slot.key()] = order[n];
    }
  }
  slotIDs = std::move(kept);
}

void LauncherAssignments::validate() const {
  const auto unreadable = [] {
    return CatalogError::invalid(
        QStringLiteral("The saved button positions cannot be read. They were preserved unchanged."));
  };
  if (version != currentVersion || columns < 2 || columns > LauncherGrid::maximumCount || rows < 0 ||
      rows > LauncherGrid::maximumCount || slotIDs.size() > size_t(maximumEntries) || waiting.size() > maximumEntries)
    throw unreadable();
  QSet<QString> ids;
  const auto unique = [&](const QString& id) {
    if (!ShortcutCatalog::validID(id) || ids.contains(id)) return false;
    ids.insert(id);
    return true;
  };
  for (const auto& [key, id] : slotIDs)
    if (!LauncherSlot::fromKey(key) || !unique(id)) throw unreadable();
  for (const QString& id : waiting)
    if (!unique(id)) throw unreadable();
}

std::optional<QString> LauncherAssignments::id(const LauncherSlot& slot, const std::vector<Shortcut>& items) const {
  const auto stored = slotIDs.find(slot.key());
  if (stored == slotIDs.end() || !isActiveIn(stored->second, items)) return std::nullopt;
  return stored->second;
}

std::optional<LauncherSlot> LauncherAssignments::slot(const QString& id) const {
  const auto entry = entryHolding(slotIDs, id);
  if (!entry) return std::nullopt;
  return entry->slot;
}

void LauncherAssignments::assign(const std::optional<QString>& id, const LauncherSlot& target,
                                 const std::vector<Shortcut>& items) {
  const QString targetKey = target.key();
  const auto occupied = slotIDs.find(targetKey);
  const std::optional<QString> occupant = occupied == slotIDs.end() ? std::nullopt : std::optional(occupied->second);
  if (!id) {
    if (occupant) {
      slotIDs.erase(targetKey);
      waiting << *occupant;
    }
    return;
  }
  if (!isActiveIn(*id, items)) throw CatalogError::invalid(QStringLiteral("Choose an active shortcut."));

  if (const auto old = entryHolding(slotIDs, *id)) {
    if (old->slot == target) return;
    // The old entry is changed under the key it is stored under, so the id
    // never stays behind under a second spelling of the same slot.
    if (occupant)
      slotIDs[old->key] = *occupant;
    else
      slotIDs.erase(old->key);
  } else {
    waiting.removeAll(*id);
    if (occupant) waiting << *occupant;
  }
  slotIDs[targetKey] = *id;
}

qint64 LauncherAssignments::pageCount(const std::vector<Shortcut>& items) const {
  qint64 count = 1;
  for (const auto& [key, id] : slotIDs)
    if (const auto slot = LauncherSlot::fromKey(key); slot && isActiveIn(id, items))
      count = std::max(count, slot->page + 1);
  return count;
}

LauncherAssignments LauncherAssignments::fromJson(const pf::JsonObjectReader& object) {
  LauncherAssignments result;
  result.version = object.integer(versionKey);
  result.columns = object.integer(columnsKey);
  result.rows = object.integer(rowsKey);
  const pf::JsonObjectReader stored = object.object(slotsKey);
  for (const QString& key : stored.keys()) result.slotIDs.emplace(key, stored.string(key));
  result.waiting = object.array(waitingKey).strings();
  return result;
}

LauncherAssignments LauncherAssignments::decode(const QByteArray& bytes) {
  return fromJson(pf::JsonObjectReader::parse(bytes));
}

QJsonObject LauncherAssignments::json() const {
  QJsonObject slotObject;
  for (const auto& [key, id] : slotIDs) slotObject.insert(key, id);
  return {{versionKey, version},
          {columnsKey, columns},
          {rowsKey, rows},
          {slotsKey, slotObject},
          {waitingKey, QJsonArray::fromStringList(waiting)}};
}

QByteArray LauncherAssignments::encoded() const { return pf::Json::encode(json()); }
