#include "reminders/ReminderStore.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "reminders/ReminderSchedule.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutCatalogRepository.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUuid>
#include <algorithm>

namespace {

const QString primaryName = QStringLiteral("reminders.json");
const QString previousName = QStringLiteral("reminders.previous.json");
const QString lockName = QStringLiteral("reminders.lock");

bool hasID(const QuibReminder& reminder, const QString& id) { return reminder.id == id; }

/// The first open occurrence with this id.
std::vector<ReminderOccurrence>::iterator findOpen(ReminderFile& file, const QString& id) {
  return std::ranges::find_if(file.occurrences, [&](const auto& o) { return o.id == id && o.isOpen(); });
}

/// What collection needs to know of the occurrences already in a journal,
/// gathered in one pass so that each reminder costs a look-up, not a scan.
struct CollectedSoFar {
  /// Reminders with an open occurrence, whatever its schedule.
  QSet<QString> open;
  /// The greatest occurrence id of each reminder id and schedule id.
  QHash<std::pair<QString, QString>, QString> newest;

  explicit CollectedSoFar(const ReminderFile& file) {
    for (const ReminderOccurrence& o : file.occurrences) {
      if (o.isOpen()) open.insert(o.reminder.id);
      QString& greatest = newest[{o.reminder.id, o.reminder.scheduleID}];
      if (greatest < o.id) greatest = o.id;
    }
  }

  /// Whether `key`'s day, or a later one, was already collected for the schedule.
  bool reaches(const QuibReminder& reminder, const QString& key) const {
    const auto found = newest.constFind({reminder.id, reminder.scheduleID});
    return found != newest.constEnd() && *found >= key;
  }
};

}  // namespace

ReminderStore::ReminderStore(QString directory)
    : write([](const QByteArray& bytes, const QString& path) { pf::AtomicWriter::write(path, bytes); }),
      m_directory(std::move(directory)) {
  try {
    m_file = read();
  } catch (const std::exception& error) {
    m_failure = text(error);
  }
}

QString ReminderStore::defaultDirectory() { return ShortcutCatalogRepository::applicationDirectory(); }

QString ReminderStore::text(const std::exception& error) {
  if (const auto* quib = dynamic_cast<const QuibError*>(&error)) return quib->message();
  return QString::fromUtf8(error.what());
}

QString ReminderStore::primary() const { return path(primaryName); }

QString ReminderStore::path(const QString& name) const { return m_directory + u'/' + name; }

ReminderStore::Journal ReminderStore::read() const {
  // Taken before the bytes are read: a file replaced in between is read again next time.
  const auto identity = pf::FileIdentity::of(primary());
  const QByteArray zone = ReminderSchedule::calendar().timeZone().id();
  if (identity && m_lastRead && m_lastRead->identity == *identity && m_lastRead->zone == zone)
    return m_lastRead->file;
  // A journal past the limit is refused without reading all of it.
  if (const auto bytes = pf::Files::read(primary(), ReminderFile::largestFileBytes + 1)) {
    ReminderFile file = ReminderFile::decode(*bytes);
    file.validate();
    auto journal = std::make_shared<const ReminderFile>(std::move(file));
    if (identity) m_lastRead = LastRead{*identity, zone, journal};
    return journal;
  }
  // Restoring the backup by itself could bring back alerts already shown.
  if (QFileInfo::exists(path(previousName)))
    throw QuibError(
        QStringLiteral("The current reminder journal is missing. Its backup is preserved; "
                       "automatic recovery is held to prevent duplicate alerts."));
  return std::make_shared<const ReminderFile>();
}

void ReminderStore::reload() {
  try {
    m_file = read();
    m_failure.reset();
  } catch (const std::exception& error) {
    m_failure = QStringLiteral("Reminders are unavailable: ") + text(error);
    throw;
  }
}

void ReminderStore::transaction(const Change& change) {
  try {
    m_file = changeUnderLock(change);
    m_failure.reset();
  } catch (const std::exception& error) {
    m_failure = text(error);
    throw;
  }
  // After the lock is released, so a listener may start a change of its own.
  if (onChange) onChange();
}

ReminderStore::Journal ReminderStore::changeUnderLock(const Change& change) {
  pf::Files::makeFolders(m_directory);
  const pf::FileLock lock =
      pf::FileLock::take(path(lockName), QStringLiteral("Wendle reminders: %@"),
                         QuibError(QStringLiteral("Cannot open the reminders lock.")),
                         QuibError(QStringLiteral("Another Wendle is updating reminders. Try again shortly.")));
  const Journal journal = read();
  ReminderFile changed = *journal;
  change(changed);
  // An unchanged journal is the one just read, which has passed validation.
  if (changed == *journal) return journal;
  changed.validate();
  const QByteArray encoded = changed.encoded();
  // Never written: the next read would refuse it.
  if (encoded.size() > ReminderFile::largestFileBytes) throw QuibError(ReminderFile::tooLargeToSave());
  // The bytes just decoded, read again rather than kept in memory between changes.
  if (const auto previous = pf::Files::read(primary(), ReminderFile::largestFileBytes + 1))
    writePrivately(*previous, previousName);
  writePrivately(encoded, primaryName);
  auto written = std::make_shared<const ReminderFile>(std::move(changed));
  // Nobody else writes while the lock is held, so this version of the file is
  // known without reading it back.
  if (const auto identity = pf::FileIdentity::of(primary()))
    m_lastRead = LastRead{*identity, ReminderSchedule::calendar().timeZone().id(), written};
  return written;
}

void ReminderStore::writePrivately(const QByteArray& bytes, const QString& name) {
  write(bytes, path(name));
  // The default writer creates its files 0600; a replaced one, or a file widened by hand, may not be.
  ::chmod(QFile::encodeName(path(name)).constData(), 0600);
}

void ReminderStore::save(const QuibReminder& reminder, const std::optional<QuibReminder>& expected,
                         const QDateTime& now) {
  reminder.validate();
  transaction([&](ReminderFile& file) {
    auto& reminders = file.reminders;
    const auto found = std::ranges::find_if(reminders, [&](const auto& r) { return hasID(r, reminder.id); });
    const std::optional<QuibReminder> current =
        found == reminders.end() ? std::nullopt : std::optional(*found);
    if (current != expected)
      throw QuibError(QStringLiteral("This reminder changed elsewhere. Reopen it before saving."));
    if (!current) {
      reminders.push_back(reminder);
      return;
    }
    QuibReminder stored = reminder;
    const bool keepsSchedule = reminder.sameSchedule(*current);
    stored.scheduleID =
        keepsSchedule ? current->scheduleID : QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    std::erase_if(reminders, [&](const auto& r) { return hasID(r, reminder.id); });
    for (ReminderOccurrence& occurrence : file.occurrences) {
      if (occurrence.reminder.id != reminder.id || !occurrence.isOpen()) continue;
      if (keepsSchedule)
        occurrence.reminder = stored;
      else
        occurrence.completedAt = now;
    }
    reminders.push_back(stored);
  });
}

void ReminderStore::pause(const QString& id, bool paused) {
  transaction([&](ReminderFile& file) {
    const auto found = std::ranges::find_if(file.reminders, [&](const auto& r) { return hasID(r, id); });
    if (found != file.reminders.end()) found->paused = paused;
  });
}

void ReminderStore::remove(const QString& id) {
  transaction([&](ReminderFile& file) {
    std::erase_if(file.reminders, [&](const auto& r) { return hasID(r, id); });
    std::erase_if(file.occurrences, [&](const auto& o) { return hasID(o.reminder, id); });
  });
}

void ReminderStore::collect(const QDateTime& now, const pf::Calendar& calendar) {
  transaction([&](ReminderFile& file) {
    const CollectedSoFar collected(file);
    for (const QuibReminder& reminder : file.reminders) {
      if (reminder.paused || collected.open.contains(reminder.id)) continue;
      const auto due = ReminderSchedule::latest(reminder, now, calendar);
      if (!due) continue;
      QString key = ReminderSchedule::key(reminder, *due, calendar);
      // A day already collected, or older than the newest one, stays collected
      // even when the clock or the zone moves back.
      if (collected.reaches(reminder, key)) continue;
      file.occurrences.push_back({std::move(key), reminder, *due, {}, {}, {}});
    }
  });
}

std::vector<ReminderOccurrence> ReminderStore::pending(const QDateTime& now) const {
  QSet<QString> showable;
  for (const QuibReminder& reminder : m_file->reminders)
    if (!reminder.paused) showable.insert(reminder.id);
  std::vector<ReminderOccurrence> ready;
  for (const ReminderOccurrence& o : m_file->occurrences)
    if (o.isOpen() && o.readyAt() <= now && showable.contains(o.reminder.id)) ready.push_back(o);
  std::ranges::stable_sort(ready, [](const auto& a, const auto& b) {
    return std::pair(a.readyAt(), a.id) < std::pair(b.readyAt(), b.id);
  });
  return ready;
}

bool ReminderStore::markPresented(const QString& id, const QDateTime& now) {
  bool first = false;
  transaction([&](ReminderFile& file) {
    const auto found = findOpen(file, id);
    if (found == file.occurrences.end())
      throw QuibError(QStringLiteral("This occurrence is no longer active."));
    first = !found->presentedAt;
    if (first) found->presentedAt = now;
  });
  return first;
}

void ReminderStore::markSetAside(const QString& id) {
  transaction([&](ReminderFile& file) {
    if (const auto found = findOpen(file, id); found != file.occurrences.end()) found->presentedAt.reset();
  });
}

void ReminderStore::complete(const QString& id, const QDateTime& now) {
  transaction([&](ReminderFile& file) {
    const auto found = findOpen(file, id);
    if (found == file.occurrences.end()) return;
    found->completedAt = now;
    // Done also answers the newest due time of the same schedule, so a repeat
    // that fell due while the alert was up does not follow straight after it.
    const QuibReminder snapshot = found->reminder;
    const pf::Calendar calendar = ReminderSchedule::calendar();
    const auto latest = ReminderSchedule::latest(snapshot, now, calendar);
    if (!latest) return;
    QString key = ReminderSchedule::key(snapshot, *latest, calendar);
    if (std::ranges::any_of(file.occurrences, [&](const auto& o) { return o.id == key; })) return;
    file.occurrences.push_back({std::move(key), snapshot, *latest, {}, {}, now});
  });
}

void ReminderStore::snooze(const QString& id, double seconds, const QDateTime& now) {
  if (seconds != 300 && seconds != 900 && seconds != 3600)
    throw QuibError(QStringLiteral("Choose a 5 minute, 15 minute or 1 hour snooze."));
  transaction([&](ReminderFile& file) {
    const auto found = findOpen(file, id);
    if (found == file.occurrences.end()) return;
    found->snoozedUntil = now.addSecs(qint64(seconds));
    found->presentedAt.reset();
  });
}
