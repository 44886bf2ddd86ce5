#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <optional>

namespace test {

/// A count a test repeats something: the environment variable `name` when it
/// holds a positive number, else `fallback`. CI runs the small fallbacks; a
/// local run asks for more, e.g. WENDLE_CRASH_KILLS=1000.
int repetitions(const char* name, int fallback);

/// One store under the crash harness.
struct CrashSubject {
  /// The helper process, started with `folder`: it opens the store, finds the
  /// change count the files already hold and calls `commitForever` from the next.
  QString helper;
  QString folder;
  /// The change count the files in `folder` hold, read through the file's
  /// decoder, which may throw; none when they hold no state the helper made.
  std::function<std::optional<int>()> fileState;
  /// The change count the store shows when opened over `folder`; none when
  /// it cannot open the files or shows no state the helper made.
  std::function<std::optional<int>()> storeState;
};

/// What a crash run saw.
struct CrashResult {
  int kills = 0;
  /// Kills after which the files held no state the helper had committed.
  int outside = 0;
  /// The change count at the end.
  int changes = 0;
  /// Temporary files left in the folder by writes the kills cut off.
  int cutOffWrites = 0;
};

/// Starts the helper again and again and ends it with SIGKILL at a random
/// moment of its change loop, `kills` times (WENDLE_CRASH_KILLS overrides).
/// After each kill the files must decode to the last change the helper
/// reported committed, or the one it was making, and the store must open them
/// and show the same; a failure is recorded otherwise, and when the helper
/// never committed a change.
CrashResult runCrashHarness(const CrashSubject& subject, int kills = 40);

/// A crash helper's loop: makes change `first`, `first + 1`, ... and tells
/// the parent after each is committed, until it is killed.
[[noreturn]] void commitForever(int first, const std::function<void(int)>& change);

/// The number at the end of a change name such as "c17" or "p2-17"; none for any other text.
std::optional<int> changeNumber(const QString& name, const QString& prefix);

/// Counts for a contention run: WENDLE_CONTENTION_PROCESSES and
/// WENDLE_CONTENTION_CHANGES override 4 and 50.
struct Contention {
  int processes = repetitions("WENDLE_CONTENTION_PROCESSES", 4);
  int changes = repetitions("WENDLE_CONTENTION_CHANGES", 50);

  /// The name of every change the run makes: "p<process>-<change>".
  QStringList names() const;
  /// How long all processes together may take, in milliseconds: at least a
  /// minute, and more the more changes they make.
  int timeLimit() const;
  /// Starts every process of the helper with (folder, its name prefix, the
  /// change count) and waits for them within `timeLimit`; records a failure
  /// for any that fails or is not done by then.
  void run(const QString& helper, const QString& folder) const;
  /// Records a failure unless `found` holds every change name exactly once.
  void expectEachOnce(QStringList found) const;
};

/// A contention helper's body: makes change 0 to `count - 1`, each tried
/// again after a short random pause while `busy` says the store was busy.
/// Gives the exit status: 0, or 3 after any other error.
int changeRetryingWhileBusy(int count, const std::function<void(int)>& change,
                            const std::function<bool(const std::exception&)>& busy);

/// Whether the error's sentence is `sentence`.
std::function<bool(const std::exception&)> says(const QString& sentence);

}  // namespace test
