// The journal on real files: what is created when, a change that changes
// nothing writes nothing, damaged and newer journals are never touched, and
// the save rules for edits made elsewhere.
#include "platform/core/FileLock.h"
#include "reminders/ReminderSupport.h"
#include "support/FileMode.h"
#include "support/TestFiles.h"

#include <QRegularExpression>
#include <QThread>
#include <sys/stat.h>

using test::journalFile;
using test::journalFolder;
using test::journalNames;
using test::messageOf;
using test::occurrenceOf;
using test::reminder;

namespace {

const QString unreadable =
    QStringLiteral("The reminders file is unreadable or from a newer version. It has been preserved.");
const QString missing = QStringLiteral(
    "The current reminder journal is missing. Its backup is preserved; automatic recovery is held to "
    "prevent duplicate alerts.");
const QString changedElsewhere = QStringLiteral("This reminder changed elsewhere. Reopen it before saving.");
const QDateTime saveMoment(QDate(2026, 3, 7), QTime(15, 0), Qt::UTC);

struct FileStamp {
  ino_t inode = 0;
  timespec modified{};
  bool operator==(const FileStamp& o) const {
    return inode == o.inode && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileStamp stampOf(const QString& path) {
  struct stat info {};
  EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
  return {info.st_ino, info.st_mtim};
}

/// A store over the test folder that counts its change callbacks.
struct CountingStore {
  ReminderStore store{journalFolder()};
  int changes = 0;
  CountingStore() {
    store.onChange = [this] { ++changes; };
  }
};

/// Every change a caller can make, for the rules that hold for all of them.
const std::pair<const char*, std::function<void(ReminderStore&)>> everyChange[] = {
    {"save", [](ReminderStore& s) { s.save(reminder("R9"), std::nullopt, saveMoment); }},
    {"pause", [](ReminderStore& s) { s.pause("R1", true); }},
    {"remove", [](ReminderStore& s) { s.remove("R1"); }},
};

}  // namespace

TEST(ReminderStore, FilesAppearOnlyWhenNeeded) {
  CountingStore s;
  EXPECT_EQ(s.store.file(), ReminderFile());
  EXPECT_EQ(s.store.failure(), std::nullopt);
  EXPECT_FALSE(QFileInfo::exists(journalFolder()));

  s.store.pause("unknown", true);
  EXPECT_EQ(journalNames(), QStringList{"reminders.lock"});
  EXPECT_EQ(test::fileMode(journalFolder()), 0700);
  EXPECT_EQ(test::fileMode(journalFile("reminders.lock")), 0600);
  EXPECT_EQ(s.changes, 1);

  s.store.save(reminder("R1"), std::nullopt, saveMoment);
  EXPECT_EQ(journalNames(), QStringList({"reminders.json", "reminders.lock"}));
  const QByteArray first = test::contentsOf(journalFile());
  EXPECT_EQ(ReminderFile::decode(first).reminders, std::vector{reminder("R1")});

  s.store.save(reminder("R2"), std::nullopt, saveMoment);
  EXPECT_EQ(test::contentsOf(journalFile("reminders.previous.json")), first);
  for (const QString& name : journalNames())
    EXPECT_EQ(test::fileMode(journalFile(name)), 0600) << name.toStdString();
  EXPECT_EQ(s.store.file().reminders, (std::vector{reminder("R1"), reminder("R2")}));
  EXPECT_EQ(ReminderStore(journalFolder()).file(), s.store.file());
  EXPECT_EQ(s.changes, 3);
}

TEST(ReminderStore, AChangeThatChangesNothingWritesNothing) {
  CountingStore s;
  s.store.save(reminder("R1"), std::nullopt, saveMoment);
  s.store.save(reminder("R2"), std::nullopt, saveMoment);
  const FileStamp journal = stampOf(journalFile());
  const FileStamp previous = stampOf(journalFile("reminders.previous.json"));
  const int before = s.changes;

  const std::function<void()> noOps[] = {
      [&] { s.store.pause("R1", false); }, [&] { s.store.remove("unknown"); },
      [&] { s.store.save(reminder("R2"), reminder("R2"), saveMoment); },  // already last
  };
  for (const auto& noOp : noOps) {
    EXPECT_EQ(messageOf([&] { s.store.save(reminder("R1"), std::nullopt, saveMoment); }), changedElsewhere);
    ASSERT_TRUE(s.store.failure());
    noOp();
    EXPECT_EQ(s.store.failure(), std::nullopt);
  }
  EXPECT_EQ(stampOf(journalFile()), journal);
  EXPECT_EQ(stampOf(journalFile("reminders.previous.json")), previous);
  EXPECT_EQ(s.changes, before + 3);
}

TEST(ReminderStore, ANewerJournalIsLeftByteForByte) {
  const QByteArray newer = R"({"version": 2, "reminders": [], "occurrences": [], "future": true})";
  test::writeFile(journalFile(), newer);
  CountingStore s;
  EXPECT_EQ(s.store.failure(), unreadable);  // the first read keeps the bare reason
  for (const auto& [what, change] : everyChange) {
    EXPECT_EQ(messageOf([&] { change(s.store); }), unreadable) << what;
    EXPECT_EQ(s.store.failure(), unreadable) << what;
  }
  EXPECT_EQ(messageOf([&] { s.store.reload(); }), unreadable);
  EXPECT_EQ(s.store.failure(), "Reminders are unavailable: " + unreadable);
  EXPECT_EQ(test::contentsOf(journalFile()), newer);
  EXPECT_EQ(journalNames(), QStringList({"reminders.json", "reminders.lock"}));
  EXPECT_EQ(s.changes, 0);
}

TEST(ReminderStore, ADamagedJournalIsPreserved) {
  const QByteArray empty = R"({"version": 1, "reminders": [], "occurrences": []})";
  for (const QByteArray& damaged :
       {QByteArray(), QByteArray("{\"version\": 1, \"reminders\": ["),
        QByteArray(R"({"version": 1, "reminders": [{"id": "R1"}], "occurrences": []})"),
        empty.leftJustified(ReminderFile::largestFileBytes + 1)}) {
    test::writeFile(journalFile(), damaged);
    ReminderStore store(journalFolder());
    ASSERT_TRUE(store.failure()) << damaged.toStdString();
    EXPECT_EQ(messageOf([&] { store.save(reminder(), std::nullopt, saveMoment); }), *store.failure());
    EXPECT_EQ(test::contentsOf(journalFile()), damaged);
    EXPECT_FALSE(QFileInfo::exists(journalFile("reminders.previous.json")));
  }
}

TEST(ReminderStore, AMissingJournalWithABackupRefusesEveryChange) {
  CountingStore s;
  s.store.save(reminder("R1"), std::nullopt, saveMoment);
  s.store.save(reminder("R2"), std::nullopt, saveMoment);
  QFile::remove(journalFile());
  const QByteArray backup = test::contentsOf(journalFile("reminders.previous.json"));

  EXPECT_EQ(messageOf([&] { s.store.reload(); }), missing);
  EXPECT_EQ(s.store.failure(), "Reminders are unavailable: " + missing);
  EXPECT_EQ(s.store.file().reminders.size(), 2u);  // the last good journal stays readable
  for (const auto& [what, change] : everyChange) {
    EXPECT_EQ(messageOf([&] { change(s.store); }), missing) << what;
    EXPECT_EQ(s.store.failure(), missing) << what;
  }
  EXPECT_EQ(journalNames(), QStringList({"reminders.lock", "reminders.previous.json"}));
  EXPECT_EQ(test::contentsOf(journalFile("reminders.previous.json")), backup);
}

TEST(ReminderStore, AFailedWriteChangesNothingAndReleasesTheLock) {
  CountingStore s;
  s.store.save(reminder("R1"), std::nullopt, saveMoment);
  const QByteArray before = test::contentsOf(journalFile());
  const auto writer = s.store.write;
  s.store.write = [&](const QByteArray& bytes, const QString& path) {
    if (path == journalFile()) throw std::runtime_error("Could not write: the disk is full.");
    writer(bytes, path);
  };
  EXPECT_EQ(messageOf([&] { s.store.save(reminder("R2"), std::nullopt, saveMoment); }),
            "Could not write: the disk is full.");
  EXPECT_EQ(s.store.failure(), "Could not write: the disk is full.");
  EXPECT_EQ(test::contentsOf(journalFile()), before);
  EXPECT_EQ(s.store.file().reminders.size(), 1u);
  EXPECT_EQ(s.changes, 1);

  s.store.write = writer;
  s.store.save(reminder("R2"), std::nullopt, saveMoment);
  EXPECT_EQ(s.store.file().reminders.size(), 2u);
}

TEST(ReminderStore, TheJournalIsMadePrivateAgainOnEveryWrite) {
  ReminderStore store(journalFolder());
  store.save(reminder("R1"), std::nullopt, saveMoment);
  ::chmod(QFile::encodeName(journalFile()).constData(), 0644);
  store.save(reminder("R2"), std::nullopt, saveMoment);
  EXPECT_EQ(test::fileMode(journalFile()), 0600);
  EXPECT_EQ(test::fileMode(journalFile("reminders.previous.json")), 0600);
}

TEST(ReminderStore, TheChangeCallbackRunsOnceTheLockIsFree) {
  ReminderStore store(journalFolder());
  bool lockWasFree = false;
  store.onChange = [&] { lockWasFree = pf::FileLock::tryLock(journalFile("reminders.lock")).has_value(); };
  store.save(reminder("R1"), std::nullopt, saveMoment);
  EXPECT_TRUE(lockWasFree);
}

TEST(ReminderStore, AnInvalidReminderIsRefusedBeforeAnyTransaction) {
  test::writeFile(journalFile(), "not json");
  ReminderStore store(journalFolder());
  const auto failure = store.failure();
  QuibReminder bad = reminder();
  bad.name = " ";
  EXPECT_EQ(messageOf([&] { store.save(bad, std::nullopt, saveMoment); }),
            "Enter a reminder name (up to 100 characters) and your message (up to 4,000 characters).");
  EXPECT_EQ(store.failure(), failure);
  EXPECT_EQ(journalNames(), QStringList{"reminders.json"});
}

TEST(ReminderStore, SavesAreRefusedOverChangesMadeElsewhere) {
  ReminderStore store(journalFolder());
  store.save(reminder("R1"), std::nullopt, saveMoment);
  QuibReminder edited = reminder("R1");
  edited.message = "Changed";
  const struct {
    const char* what;
    QuibReminder saved;
    std::optional<QuibReminder> expected;
  } cases[] = {
      {"a new reminder whose id exists", reminder("R1"), std::nullopt},
      {"an edit of a reminder changed since", edited, edited},
      {"an edit of a reminder deleted since", reminder("R7"), reminder("R7")},
  };
  const QByteArray before = test::contentsOf(journalFile());
  for (const auto& c : cases) {
    EXPECT_EQ(messageOf([&] { store.save(c.saved, c.expected, saveMoment); }), changedElsewhere) << c.what;
    EXPECT_EQ(store.failure(), changedElsewhere) << c.what;
  }
  EXPECT_EQ(test::contentsOf(journalFile()), before);
}

TEST(ReminderStore, EditsKeepOrRenewTheScheduleAndMoveToTheEnd) {
  const pf::Calendar utc(QTimeZone::utc());
  const QuibReminder r1 = reminder("R1");
  ReminderOccurrence snoozed = occurrenceOf(r1, QDateTime(QDate(2026, 3, 7), QTime(9, 0), Qt::UTC));
  snoozed.snoozedUntil = snoozed.due.addSecs(900);
  ReminderOccurrence done = occurrenceOf(r1, QDateTime(QDate(2026, 3, 6), QTime(9, 0), Qt::UTC));
  done.completedAt = done.due;
  ReminderFile journal;
  journal.reminders = {r1, reminder("R2")};
  journal.occurrences = {done, snoozed};
  test::writeJournal(journal);
  ReminderStore store(journalFolder());

  // A new message keeps the schedule, and the waiting alert shows it.
  QuibReminder worded = r1;
  worded.message = "New words";
  store.save(worded, r1, saveMoment);
  EXPECT_EQ(store.file().reminders, (std::vector{reminder("R2"), worded}));
  ReminderOccurrence reworded = snoozed;
  reworded.reminder = worded;
  EXPECT_EQ(store.file().occurrences, (std::vector{done, reworded}));

  // A new time gives a new schedule and ends the open alert at the save.
  QuibReminder moved = worded;
  moved.time.hour = 10;
  store.save(moved, worded, saveMoment);
  const QuibReminder stored = store.file().reminders.back();
  EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                  .match(stored.scheduleID)
                  .hasMatch())
      << stored.scheduleID.toStdString();
  moved.scheduleID = stored.scheduleID;
  EXPECT_EQ(stored, moved);
  reworded.completedAt = saveMoment;
  EXPECT_EQ(store.file().occurrences, (std::vector{done, reworded}));
}

TEST(ReminderStore, PausingKeepsOccurrencesAndRemovingTakesThemAll) {
  const QuibReminder r1 = reminder("R1");
  ReminderOccurrence open = occurrenceOf(r1, QDateTime(QDate(2026, 3, 7), QTime(9, 0), Qt::UTC));
  ReminderOccurrence done = occurrenceOf(r1, QDateTime(QDate(2026, 3, 6), QTime(9, 0), Qt::UTC));
  done.completedAt = done.due;
  const ReminderOccurrence other = occurrenceOf(reminder("R2"), open.due);
  ReminderFile journal;
  journal.reminders = {r1, reminder("R2")};
  journal.occurrences = {done, open, other};
  test::writeJournal(journal);
  ReminderStore store(journalFolder());

  store.pause("R1", true);
  EXPECT_TRUE(store.file().reminders[0].paused);
  EXPECT_EQ(store.file().occurrences, journal.occurrences);
  store.remove("R1");
  EXPECT_EQ(store.file().reminders, std::vector{reminder("R2")});
  EXPECT_EQ(store.file().occurrences, std::vector{other});
}

TEST(ReminderStore, AJournalRewrittenInPlaceIsReadAgain) {
  ReminderStore store(journalFolder());
  store.save(reminder("R1"), std::nullopt, saveMoment);
  store.reload();
  QByteArray bytes = test::contentsOf(journalFile());
  bytes.replace("Stretch R1", "Stretch R9");  // same size, same inode: only its times tell
  QThread::msleep(20);                        // file times move in steps of a few milliseconds
  test::writeFile(journalFile(), bytes);
  store.reload();
  EXPECT_EQ(store.file().reminders[0].name, "Stretch R9");
  EXPECT_EQ(messageOf([&] { store.save(reminder("R1"), reminder("R1"), saveMoment); }), changedElsewhere);
}

TEST(ReminderStore, AJournalIsCheckedAgainInAnotherZone) {
  ReminderFile journal;
  journal.reminders = {reminder("R1", ReminderRepeat::once, {2011, 12, 30, 12, 0})};
  test::writeJournal(journal);
  ReminderStore store(journalFolder());
  ASSERT_EQ(store.failure(), std::nullopt);
  test::ZoneScope apia("Pacific/Apia");  // where that day never happened
  EXPECT_EQ(messageOf([&] { store.reload(); }),
            "Choose a valid date, time, animation and at least one day for a weekly reminder.");
}
