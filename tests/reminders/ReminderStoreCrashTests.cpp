// The journal against writers killed at random moments and against running
// copies changing it at once.
#include "reminders/ReminderSupport.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"

#include <gtest/gtest.h>

namespace {

const QString busy = QStringLiteral("Another Wendle is updating reminders. Try again shortly.");
const QDateTime saveMoment(QDate(2026, 3, 7), QTime(15, 0), Qt::UTC);

/// The one reminder the crash helper keeps editing; change n names it with n.
QuibReminder counter(int n) {
  QuibReminder r = test::reminder(QStringLiteral("c"));
  r.name = QStringLiteral("Change %1").arg(n);
  r.message = QStringLiteral("Message of change %1").arg(n);
  return r;
}

/// The change count held by `file`; none when it is no state of the helper.
std::optional<int> counterState(const ReminderFile& file) {
  if (file.reminders.empty()) return 0;
  if (file.reminders.size() != 1 || !file.occurrences.empty()) return std::nullopt;
  const QuibReminder& stored = file.reminders[0];
  const auto n = test::changeNumber(stored.name, QStringLiteral("Change "));
  return n && stored == counter(*n) ? n : std::nullopt;
}

test::CrashSubject journalSubject() {
  const QString folder = test::journalFolder();
  return {"editReminderForever", folder,
          [folder]() -> std::optional<int> {
            const auto bytes = pf::Files::read(folder + QStringLiteral("/reminders.json"));
            if (!bytes) return 0;
            const ReminderFile file = ReminderFile::decode(*bytes);
            file.validate();
            return counterState(file);
          },
          [folder]() -> std::optional<int> {
            const ReminderStore store(folder);
            return store.failure() ? std::nullopt : counterState(store.file());
          }};
}

}  // namespace

WENDLE_TEST_HELPER(editReminderForever) {
  ReminderStore store(args.value(0));
  const int done = counterState(store.file()).value_or(-1);
  if (done < 0) return 2;
  test::commitForever(done + 1, [&](int n) {
    const std::optional<QuibReminder> seen =
        store.file().reminders.empty() ? std::nullopt : std::optional(store.file().reminders[0]);
    store.save(counter(n), seen, saveMoment);
  });
}

WENDLE_TEST_HELPER(addRemindersRetrying) {
  ReminderStore store(args.value(0));
  return test::changeRetryingWhileBusy(
      args.value(2).toInt(),
      [&](int n) { store.save(test::reminder(args.value(1) + QString::number(n)), std::nullopt, saveMoment); },
      test::says(busy));
}

TEST(ReminderStoreHarness, AKilledWriterLeavesACommittedState) { test::runCrashHarness(journalSubject()); }

TEST(ReminderStoreHarness, CopiesChangingAtOnceKeepEveryChangeOnce) {
  const test::Contention contention;
  contention.run("addRemindersRetrying", test::journalFolder());
  const ReminderStore store(test::journalFolder());
  QStringList ids;
  for (const QuibReminder& r : store.file().reminders) ids << r.id;
  contention.expectEachOnce(ids);
}
