#include "reminders/ReminderStore.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileError.h"
#include "platform/core/FileLock.h"
#include "platform/core/Files.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutCatalogRepository.h"

namespace {

const QString primaryName = QStringLiteral("reminders.json");
const QString previousName = QStringLiteral("reminders.previous.json");
const QString lockName = QStringLiteral("reminders.lock");

bool hasID(const QuibReminder& reminder, const QString& id) { return reminder.id == id; }

}  // namespace

ReminderStore::ReminderStore(QString directory)
    : write([](const QByteArray& bytes, const QString& path) { pf::AtomicWriter::write(path, bytes); }),
      m_directory(std::move(directory)) {
  try {
    m_file = read().file;
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
  if (auto bytes = pf::Files::read(primary())) {
    ReminderFile file = ReminderFile::decode(*bytes);
    file.validate();
    return {std::move(file), std::move(bytes)};
  }
  // Restoring the backup by itself could bring back alerts already shown.
  if (QFileInfo::exists(path(previousName)))
    throw QuibError(
        QStringLiteral("The current reminder journal is missing. Its backup is preserved; "
                       "automatic recovery is held to prevent duplicate alerts."));
  return {};
}

void ReminderStore::reload() {
  try {
    m_file = read().file;
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

ReminderFile ReminderStore::changeUnderLock(const Change& change) {
  pf::Files::makeFolders(m_directory);
  std::optional<pf::FileLock> lock;
  try {
    lock = pf::FileLock::tryLock(path(lockName));
  } catch (const pf::FileError&) {
    throw QuibError(QStringLiteral("Cannot open the reminders lock."));
  }
  if (!lock) throw QuibError(QStringLiteral("Another Wendle is updating reminders. Try again shortly."));
  const Journal journal = read();
  ReminderFile changed = journal.file;
  change(changed);
  changed.validate();
  if (changed == journal.file) return changed;
  if (journal.bytes) writePrivately(*journal.bytes, previousName);
  writePrivately(changed.encoded(), primaryName);
  return changed;
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
