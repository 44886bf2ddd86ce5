// A settings domain against writers killed at random moments and against
// running copies setting keys at once.
#include "platform/core/DefaultsCoding.h"
#include "platform/core/Files.h"
#include "platform/core/UserDefaults.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString counterKey = QStringLiteral("counter");

/// The value change n stores: large enough that a kill often lands inside a write.
QVariant counter(int n) {
  return QVariantMap{{QStringLiteral("n"), qint64(n)},
                     {QStringLiteral("text"), QStringLiteral("Change %1 ").arg(n).repeated(200)}};
}

std::optional<int> counterState(const QVariantMap& values) {
  if (values.isEmpty()) return 0;
  if (values.size() != 1 || !values.contains(counterKey)) return std::nullopt;
  const int n = int(values[counterKey].toMap().value(QStringLiteral("n")).toLongLong());
  return values[counterKey] == counter(n) ? std::optional(n) : std::nullopt;
}

test::CrashSubject domainSubject() {
  return {"setCounterForever", pf::UserDefaults::folder(),
          []() -> std::optional<int> {
            const auto bytes = pf::Files::read(pf::UserDefaults::standard().filePath());
            return counterState(bytes ? pf::DefaultsCoding::decodeDomain(*bytes) : QVariantMap());
          },
          []() -> std::optional<int> {
            pf::UserDefaults::resetAll();
            const QVariantMap values = pf::UserDefaults::standard().dictionaryRepresentation();
            // A domain that cannot be read is set aside and starts empty.
            if (!QDir(pf::UserDefaults::folder()).entryList({"*.damaged-*"}, QDir::Files).isEmpty())
              return std::nullopt;
            return counterState(values);
          }};
}

}  // namespace

WENDLE_TEST_HELPER(setCounterForever) {
  pf::UserDefaults& defaults = pf::UserDefaults::standard();
  const int done = counterState(defaults.dictionaryRepresentation()).value_or(-1);
  if (done < 0) return 2;
  test::commitForever(done + 1, [&](int n) { defaults.set(counterKey, counter(n)); });
}

/// Setting a key waits for the domain's lock instead of refusing, so no change is ever busy.
WENDLE_TEST_HELPER(setKeysRetrying) {
  return test::changeRetryingWhileBusy(
      args.value(2).toInt(),
      [&](int n) { pf::UserDefaults::standard().set(args.value(1) + QString::number(n), qint64(n)); },
      [](const std::exception&) { return false; });
}

TEST(UserDefaultsHarness, AKilledWriterLeavesACommittedState) { test::runCrashHarness(domainSubject()); }

TEST(UserDefaultsHarness, CopiesSettingKeysAtOnceKeepEveryChangeOnce) {
  const test::Contention contention;
  contention.run("setKeysRetrying", pf::UserDefaults::folder());
  pf::UserDefaults::resetAll();
  const QVariantMap values = pf::UserDefaults::standard().dictionaryRepresentation();
  QStringList keys = values.keys();
  contention.expectEachOnce(keys);
  for (const QString& key : keys)
    EXPECT_EQ(values[key], QVariant(qint64(*test::changeNumber(key, key.section(u'-', 0, 0) + u'-'))))
        << key.toStdString();
}
