#include "support/StoreHarness.h"

#include "support/ChildProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace test {
namespace {

const QByteArray committedPrefix = "committed ";

/// The last change the helper reported committed; `known` when it reported none.
int lastReported(ChildProcess& child, int known) {
  int last = known;
  for (const QByteArray& line : child.lines())
    if (line.startsWith(committedPrefix)) last = line.mid(committedPrefix.size()).toInt();
  return last;
}

/// The change count in the files and in the store opened over them; none,
/// with a recorded failure, when they do not decode, hold no state of the
/// helper, or the two differ.
std::optional<int> committedState(const CrashSubject& subject) {
  std::optional<int> inFile;
  try {
    inFile = subject.fileState();
  } catch (const std::exception& error) {
    ADD_FAILURE() << "the files do not decode: " << error.what();
    return std::nullopt;
  }
  if (!inFile) {
    ADD_FAILURE() << "the files hold no state the helper makes";
    return std::nullopt;
  }
  if (subject.storeState() != inFile) {
    ADD_FAILURE() << "the store shows another state than its files, " << *inFile;
    return std::nullopt;
  }
  return inFile;
}

}  // namespace

int repetitions(const char* name, int fallback) {
  const int value = qEnvironmentVariableIntValue(name);
  return value > 0 ? value : fallback;
}

CrashResult runCrashHarness(const CrashSubject& subject, int kills) {
  kills = repetitions("WENDLE_CRASH_KILLS", kills);
  CrashResult result;
  std::optional<int> known = committedState(subject);
  if (!known) return result;
  result.changes = *known;
  for (; result.kills < kills; ++result.kills) {
    ChildProcess child(subject.helper, {subject.folder});
    if (!child.waitForLine("ready")) {
      ADD_FAILURE() << "the helper did not start: " << child.errors().toStdString();
      return result;
    }
    // Every other helper first commits a change of its own: on a loaded
    // machine (or a sanitized build) a change can take longer than the
    // wait below, and kills landing only in start-up would test nothing.
    if (result.kills % 2 == 1) child.waitForLine(committedPrefix + QByteArray::number(result.changes + 1), 5000);
    // Anywhere in the loop: a change takes a few milliseconds, so most kills land inside one.
    QThread::usleep(QRandomGenerator::global()->bounded(20000));
    child.kill();
    const int reported = lastReported(child, result.changes);
    const std::optional<int> state = committedState(subject);
    if (!state) {
      ++result.outside;
      ADD_FAILURE() << "after kill " << result.kills << ", when change " << reported << " was committed";
      return result;
    }
    if (*state < reported || *state > reported + 1) {
      ++result.outside;
      ADD_FAILURE() << "kill " << result.kills << ": change " << reported << " was committed, the files hold "
                    << *state;
    }
    result.changes = *state;
  }
  EXPECT_GT(result.changes, 0) << "the helper committed no change, so the kills tested nothing";
  result.cutOffWrites = int(QDir(subject.folder).entryList({"*.tmp"}, QDir::Files | QDir::Hidden).size());
  std::printf("%s: %d kills, %d changes, %d writes cut off\n", qPrintable(subject.helper), result.kills, result.changes,
              result.cutOffWrites);
  return result;
}

void commitForever(int first, const std::function<void(int)>& change) {
  tellParent("ready");
  for (int n = first;; ++n) {
    change(n);
    tellParent(committedPrefix + QByteArray::number(n));
  }
}

std::optional<int> changeNumber(const QString& name, const QString& prefix) {
  if (!name.startsWith(prefix)) return std::nullopt;
  bool ok = false;
  const int number = name.mid(prefix.size()).toInt(&ok);
  if (!ok || number < 0 || prefix + QString::number(number) != name) return std::nullopt;
  return number;
}

QStringList Contention::names() const {
  QStringList names;
  for (int p = 0; p < processes; ++p)
    for (int c = 0; c < changes; ++c) names << QStringLiteral("p%1-%2").arg(p).arg(c);
  return names;
}

int Contention::timeLimit() const {
  // A change takes milliseconds, a few hundred on a debug build at the end of
  // a long run on a busy machine; a stuck process takes forever. Contention
  // only shares the time out, so the limit follows the number of changes.
  constexpr int perChange = 300;
  constexpr int least = 60000;
  return std::max(least, processes * changes * perChange);
}

void Contention::run(const QString& helper, const QString& folder) const {
  std::vector<std::unique_ptr<ChildProcess>> children;
  for (int p = 0; p < processes; ++p)
    children.push_back(std::make_unique<ChildProcess>(
        helper, QStringList{folder, QStringLiteral("p%1-").arg(p), QString::number(changes)}));
  QElapsedTimer timer;
  timer.start();
  for (auto& child : children) {
    const int left = int(std::max<qint64>(0, timeLimit() - timer.elapsed()));
    EXPECT_EQ(child->finish(left), 0) << helper.toStdString() << ": " << child->errors().toStdString();
  }
}

void Contention::expectEachOnce(QStringList found) const {
  QStringList expected = names();
  found.sort();
  expected.sort();
  EXPECT_EQ(found, expected);
}

int changeRetryingWhileBusy(int count, const std::function<void(int)>& change,
                            const std::function<bool(const std::exception&)>& busy) {
  for (int n = 0; n < count; ++n) {
    for (;;) {
      try {
        change(n);
        break;
      } catch (const std::exception& error) {
        if (!busy(error)) {
          std::fprintf(stderr, "change %d: %s\n", n, error.what());
          return 3;
        }
        QThread::usleep(QRandomGenerator::global()->bounded(100, 1000));
      }
    }
  }
  return 0;
}

std::function<bool(const std::exception&)> says(const QString& sentence) {
  return [sentence](const std::exception& error) { return QString::fromUtf8(error.what()) == sentence; };
}

}  // namespace test
