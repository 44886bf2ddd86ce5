#include "platform/core/Calendar.h"
#include "platform/core/UserDefaults.h"
#include "reminders/ReminderSupport.h"
#include "shortcuts/ShortcutCatalogRepository.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

/// The real program, started under the offscreen platform in the test's
/// home and driven through its test hook.
class RunningWendle final {
 public:
  RunningWendle() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("WENDLE_TEST_HOOK"), QStringLiteral("stdio"));
    m_process.setProcessEnvironment(environment);
    // The artwork is found beside the program, whatever the working folder.
    m_process.setWorkingDirectory(QDir::tempPath());
    m_process.start(QStringLiteral(WENDLE_EXECUTABLE), {});
  }

  ~RunningWendle() {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished();
    }
  }

  /// The next line the program prints, or empty after 10 s.
  QByteArray nextLine() {
    const QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired())
      if (!m_process.waitForReadyRead(int(deadline.remainingTime()))) break;
    return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
  }

  QByteArray ask(const QByteArray& command) {
    m_process.write(command + '\n');
    m_process.waitForBytesWritten();
    return nextLine();
  }

  /// Chooses "Quit Wendle" as a click would; the program must end with status 0.
  void quit() {
    EXPECT_EQ(ask("menu Quit Wendle"), "chosen Quit Wendle");
    EXPECT_EQ(exitStatus(), 0);
  }

 private:
  /// The exit status once the program has ended; -1 when it crashed or hung.
  int exitStatus() {
    if (!m_process.waitForFinished(10000) || m_process.exitStatus() != QProcess::NormalExit)
      return -1;
    return m_process.exitCode();
  }

  QProcess m_process;
};

pf::UserDefaults& freshDefaults() {
  // The program wrote the file; read it again rather than from memory.
  pf::UserDefaults::resetAll();
  return pf::UserDefaults::standard();
}

}  // namespace

TEST(WendleProgram, ShowsTheCompanionAtItsSavedPlaceAndQuitsWithStatusZero) {
  pf::UserDefaults::standard().set(QStringLiteral("characterSkin"), QStringLiteral("dara"));
  pf::UserDefaults::standard().set(QStringLiteral("robotX"), 200.0);
  pf::UserDefaults::standard().set(QStringLiteral("robotY"), 120.0);
  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  EXPECT_EQ(wendle.ask("companion"), "companion 1 200 120 135 180 Dara 1");
  wendle.quit();
  EXPECT_EQ(freshDefaults().doubleValue(QStringLiteral("robotX")), 200);
}

TEST(WendleProgram, QuittingKeepsThePlaceAnotherCopySaved) {
  pf::UserDefaults::standard().set(QStringLiteral("robotX"), 200.0);
  pf::UserDefaults::standard().set(QStringLiteral("robotY"), 120.0);
  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  // Another copy, moved by the user meanwhile, saved its place.
  pf::UserDefaults::standard().set(QStringLiteral("robotX"), 260.0);
  wendle.quit();
  EXPECT_EQ(freshDefaults().doubleValue(QStringLiteral("robotX")), 260);
}

TEST(WendleProgram, WithoutASavedPlaceTheCompanionStandsAtTheBottomCentre) {
  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  // The offscreen screen is 800 x 600.
  EXPECT_EQ(wendle.ask("companion"), "companion 1 333 0 135 180 Duvur 1");
  wendle.quit();
  pf::UserDefaults& defaults = freshDefaults();
  EXPECT_EQ(defaults.doubleValue(QStringLiteral("robotX")), 333);
  EXPECT_EQ(defaults.doubleValue(QStringLiteral("robotY")), 0);
}

TEST(WendleProgram, ResetPositionMovesTheCompanionToTheBottomCentre) {
  pf::UserDefaults::standard().set(QStringLiteral("robotX"), 20.0);
  pf::UserDefaults::standard().set(QStringLiteral("robotY"), 300.0);
  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  EXPECT_EQ(wendle.ask("companion"), "companion 1 20 300 135 180 Duvur 1");
  EXPECT_EQ(wendle.ask("menu Reset Position"), "chosen Reset Position");
  EXPECT_EQ(wendle.ask("companion"), "companion 1 333 0 135 180 Duvur 1");
  EXPECT_EQ(freshDefaults().doubleValue(QStringLiteral("robotY")), 0);
  // Only the items whose features exist are there.
  EXPECT_EQ(wendle.ask("menu Check for Updates…"), "missing Check for Updates…");
  wendle.quit();
}

TEST(WendleProgram, APlaceOnNoScreenOrWithoutBothCoordinatesIsNotKept) {
  struct Case {
    const char* name;
    std::optional<double> x;
    std::optional<double> y;
  };
  const Case cases[] = {{"beyond the screen", 5000.0, 120.0}, {"without its height", 20.0, std::nullopt}};
  for (const Case& c : cases) {
    pf::UserDefaults& defaults = freshDefaults();
    defaults.remove(QStringLiteral("robotY"));
    if (c.x) defaults.set(QStringLiteral("robotX"), *c.x);
    if (c.y) defaults.set(QStringLiteral("robotY"), *c.y);
    RunningWendle wendle;
    ASSERT_EQ(wendle.nextLine(), "ready") << c.name;
    EXPECT_EQ(wendle.ask("companion"), "companion 1 333 0 135 180 Duvur 1") << c.name;
    wendle.quit();
  }
}

TEST(WendleProgram, TwoCopiesRunSideBySide) {
  RunningWendle first;
  ASSERT_EQ(first.nextLine(), "ready");
  RunningWendle second;
  ASSERT_EQ(second.nextLine(), "ready");
  EXPECT_TRUE(first.ask("companion").startsWith("companion 1 "));
  EXPECT_TRUE(second.ask("companion").startsWith("companion 1 "));
  second.quit();
  EXPECT_TRUE(first.ask("companion").startsWith("companion 1 "));
  first.quit();
}

TEST(WendleProgram, BuildsTheMainShortcutCatalogBeforeAnythingElse) {
  const QString folder = QDir::homePath() + QStringLiteral("/Library/Application Support/Quib Bot");
  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/shortcuts.json")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/shortcuts.migration.json")));
  wendle.quit();
}

TEST(WendleProgram, AnnouncesAReminderThatIsDueInItsBubbleAboveTheCompanion) {
  pf::UserDefaults::standard().set(QStringLiteral("robotX"), 200.0);
  pf::UserDefaults::standard().set(QStringLiteral("robotY"), 120.0);
  const pf::Calendar calendar{QTimeZone::systemTimeZone()};
  QuibReminder tea = test::reminder(QStringLiteral("Tea"), ReminderRepeat::once,
                                    ReminderTime(QDateTime::currentDateTime(), calendar));
  tea.message = QStringLiteral("Time for tea.");
  const QString folder = ShortcutCatalogRepository::applicationDirectory();
  ASSERT_TRUE(QDir().mkpath(folder));
  QFile journal(folder + QStringLiteral("/reminders.json"));
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly) && journal.write(ReminderFile{1, {tea}, {}}.encoded()) > 0);
  journal.close();

  RunningWendle wendle;
  ASSERT_EQ(wendle.nextLine(), "ready");
  // Centred 10 above the 135 x 180 companion at (200, 120), on whole pixels.
  EXPECT_EQ(wendle.ask("bubble"), "bubble 73 310 390 182 Stretch Tea|Time for tea.");
  wendle.quit();
}
