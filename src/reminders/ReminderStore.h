#pragma once

#include "platform/core/FileIdentity.h"
#include "reminders/ReminderFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// The reminders journal of one folder: "reminders.json", the bytes it held
/// before its last change in "reminders.previous.json", and "reminders.lock".
/// Every change is a transaction under the lock, refused at once while
/// another copy holds it: a fresh read, the change, validation of the whole
/// journal, and a write only when the journal changed. A journal that cannot
/// be read, or is of a newer version, is never overwritten.
class ReminderStore final {
 public:
  using Writer = std::function<void(const QByteArray& bytes, const QString& path)>;

  /// A store over `directory` (by default the application-data folder),
  /// loaded at once; a failed read is kept in `failure`, never thrown.
  explicit ReminderStore(QString directory = defaultDirectory());

  /// The application-data folder.
  static QString defaultDirectory();
  /// The sentence of any error the store or its journal throws.
  static QString text(const std::exception& error);

  const QString& directory() const { return m_directory; }
  /// The journal file, "reminders.json" in the folder.
  QString primary() const;
  /// The journal as last read or written; empty until a read succeeds.
  const ReminderFile& file() const { return *m_file; }
  /// Why the last read or change failed; none after a success.
  const std::optional<QString>& failure() const { return m_failure; }

  /// Reads the journal again without the lock. On failure `file` stays,
  /// `failure` is "Reminders are unavailable: " and the reason, and the
  /// error is rethrown.
  void reload();

  /// Stores `reminder` when the journal still holds `expected` under its id
  /// (none: a new reminder). An edit keeps the schedule id while the schedule
  /// stays the same (open occurrences take the new text) and otherwise gets a
  /// new one (open occurrences end at `now`); it moves to the end of the list.
  void save(const QuibReminder& reminder, const std::optional<QuibReminder>& expected, const QDateTime& now);
  /// Sets the paused flag; occurrences stay. An unknown id changes nothing.
  void pause(const QString& id, bool paused);
  /// Removes the reminder and all its occurrences. An unknown id changes nothing.
  void remove(const QString& id);

  /// Adds an occurrence for every reminder that has fallen due by `now`: one
  /// catch-up alert for its latest due time, none while it has an open one or
  /// for a day at or before the newest one collected for its schedule.
  void collect(const QDateTime& now, const pf::Calendar& calendar);
  /// The open occurrences ready by `now` whose reminder exists and is not
  /// paused, earliest first (ties by id). Reads memory only.
  std::vector<ReminderOccurrence> pending(const QDateTime& now) const;
  /// Records a showing of the open occurrence `id`; true for the first
  /// showing since it was made or last snoozed.
  bool markPresented(const QString& id, const QDateTime& now);
  /// Records that the open occurrence `id` was closed unanswered: its next
  /// showing counts as a first one. An unknown or completed id changes nothing.
  void markSetAside(const QString& id);
  /// Marks the open occurrence `id` done at `now`, and uses up its reminder's
  /// latest due time as well. An unknown or completed id changes nothing.
  void complete(const QString& id, const QDateTime& now);
  /// Puts the open occurrence `id` off by 300, 900 or 3600 seconds. An unknown
  /// or completed id changes nothing.
  void snooze(const QString& id, double seconds, const QDateTime& now);

  /// Writes one file; atomic and private by default. Replaceable, e.g. to inject failures.
  Writer write;
  /// Called after every successful change, once the lock is released.
  std::function<void()> onChange;

 private:
  using Change = std::function<void(ReminderFile&)>;
  using Journal = std::shared_ptr<const ReminderFile>;

  /// The journal as last decoded and validated, with the file version and the
  /// zone it was validated in, so a check that finds the same file reads no bytes.
  struct LastRead {
    pf::FileIdentity identity;
    QByteArray zone;
    Journal file;
  };

  Journal read() const;
  void transaction(const Change& change);
  Journal changeUnderLock(const Change& change);
  void writePrivately(const QByteArray& bytes, const QString& name);
  QString path(const QString& name) const;

  QString m_directory;
  Journal m_file = std::make_shared<const ReminderFile>();
  std::optional<QString> m_failure;
  mutable std::optional<LastRead> m_lastRead;
};
