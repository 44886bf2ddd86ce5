#include "support/TestEnvironment.h"

#include "platform/core/UserDefaults.h"
#include "support/HelperProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace test {
namespace {

std::unique_ptr<QTemporaryDir>& currentHome() {
  static std::unique_ptr<QTemporaryDir> dir;
  return dir;
}

/// Gives every test a fresh home and configuration folder, removed afterwards.
class TempHomeListener final : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    auto& dir = currentHome();
    dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/wendle-test-XXXXXX"));
    const QByteArray path = QFile::encodeName(dir->path());
    setenv("HOME", path.constData(), 1);
    setenv("XDG_CONFIG_HOME", (path + "/.config").constData(), 1);
    QDir().mkpath(dir->path() + QStringLiteral("/.config"));
    // Defaults domains remember their folder; the next access must use this test's.
    pf::UserDefaults::resetAll();
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    pf::UserDefaults::resetAll();
    currentHome().reset();
  }
};

void installEnvironment() {
  setenv("TZ", "UTC", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TempHomeListener);
}

/// Runs the helper argv asks for; true when it did, with its exit status in `status`.
bool runHelperIfAsked(int argc, char** argv, int& status) {
  if (argc < 3 || QByteArray(argv[1]) != "--helper") return false;
  const HelperMain* helper = findHelper(QString::fromLocal8Bit(argv[2]));
  if (!helper) {
    status = 127;
    return true;
  }
  QStringList args;
  for (int i = 3; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  status = (*helper)(args);
  return true;
}

}  // namespace

QString home() { return currentHome() ? currentHome()->path() : QString(); }

int runTests(int& argc, char** argv) {
  int status = 0;
  if (runHelperIfAsked(argc, argv, status)) return status;
  ::testing::InitGoogleMock(&argc, argv);
  installEnvironment();
  return RUN_ALL_TESTS();
}

}  // namespace test
