#include "platform/core/AtomicWriter.h"
#include "platform/core/Files.h"
#include "support/ChildProcess.h"
#include "support/FileMode.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using pf::AtomicWriter;
using pf::Files;
using test::ChildProcess;

namespace {

/// Sets the process umask for one scope, so modes cannot come from it.
class ScopedUmask final {
 public:
  explicit ScopedUmask(mode_t mask) : m_old(::umask(mask)) {}
  ~ScopedUmask() { ::umask(m_old); }

 private:
  mode_t m_old;
};

/// Contents of one version: its number first, then a body whose length and
/// bytes follow from the number, so a torn or mixed file is recognised.
QByteArray version(int number) {
  const QByteArray head = "version " + QByteArray::number(number) + "\n";
  const QByteArray line = QByteArray::number(number).repeated(7) + "\n";
  return head + line.repeated(2000 + (number % 13) * 300) + "end\n";
}

bool isCompleteVersion(const QByteArray& bytes) {
  if (!bytes.startsWith("version ")) return false;
  bool ok = false;
  const int number = bytes.mid(8, bytes.indexOf('\n') - 8).toInt(&ok);
  return ok && bytes == version(number);
}

QStringList temporaryFiles(const QString& folder) {
  return QDir(folder).entryList({"*.tmp"}, QDir::Files | QDir::Hidden);
}

}  // namespace

WENDLE_TEST_HELPER(writeForever) {
  const QString path = args.value(0);
  test::tellParent("writing");
  for (int number = 1;; ++number) AtomicWriter::write(path, version(number));
}

TEST(AtomicWriter, NewFilesArePrivateFromTheMomentTheyExistAndSoAreNewFolders) {
  const ScopedUmask permissive(0);
  const QString folder = test::home() + "/one/two";
  const QString path = folder + "/data.json";
  {
    AtomicWriter writer(path);
    EXPECT_EQ(test::fileMode(test::home() + "/one"), 0700u);
    EXPECT_EQ(test::fileMode(folder), 0700u);
    EXPECT_EQ(Files::parentFolder(writer.temporaryPath()), folder);
    EXPECT_EQ(test::fileMode(writer.temporaryPath()), 0600u)
        << "the temporary file is private before anything is written";
    EXPECT_FALSE(QFile::exists(path));
    writer.append("{\n");
    writer.append("}\n");
    EXPECT_FALSE(QFile::exists(path));
    writer.commit();
  }
  EXPECT_EQ(test::fileMode(path), 0600u);
  EXPECT_EQ(Files::read(path), QByteArray("{\n}\n"));
  EXPECT_EQ(temporaryFiles(folder), QStringList());
}

TEST(AtomicWriter, ReplacesInOneStepAndAnAbandonedWriteLeavesTheOldFile) {
  const QString path = test::home() + "/data.json";
  AtomicWriter::write(path, "old");
  {
    AtomicWriter writer(path);
    writer.append("new but abandoned");
    EXPECT_EQ(Files::read(path), QByteArray("old"));
  }
  EXPECT_EQ(Files::read(path), QByteArray("old"));
  EXPECT_EQ(temporaryFiles(test::home()), QStringList());

  AtomicWriter::write(path, "new");
  EXPECT_EQ(Files::read(path), QByteArray("new"));
  EXPECT_EQ(test::fileMode(path), 0600u);
}

TEST(AtomicWriter, AFolderThatExistsKeepsItsPermissions) {
  const QString folder = test::home() + "/public";
  ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0755), 0);
  ::chmod(QFile::encodeName(folder).constData(), 0755);
  AtomicWriter::write(folder + "/data.json", "x");
  EXPECT_EQ(test::fileMode(folder), 0755u);
}

TEST(AtomicWriter, AWriterKilledAtRandomPointsLeavesTheOldOrTheNewCompleteFile) {
  const QString folder = test::home() + "/store";
  const QString path = folder + "/data.json";
  AtomicWriter::write(path, version(0));
  QElapsedTimer timer;
  timer.start();
  // At least 200 kills, and more on a slow machine until a write cut off and
  // two versions have been seen, so the test always tests something.
  constexpr int kills = 200;
  QSet<QByteArray> seen;
  const auto covered = [&] { return seen.size() > 1 && !temporaryFiles(folder).isEmpty(); };
  int round = 0;
  for (; round < kills || (round < 5 * kills && !covered()); ++round) {
    ChildProcess writer("writeForever", {path});
    ASSERT_TRUE(writer.waitForLine("writing")) << writer.errors().toStdString();
    QThread::usleep(QRandomGenerator::global()->bounded(1000, 15000));
    writer.kill();
    const auto bytes = Files::read(path);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_TRUE(isCompleteVersion(*bytes))
        << "after kill " << round << ": " << bytes->left(40).toStdString();
    seen.insert(bytes->left(bytes->indexOf('\n')));
  }
  const int interrupted = static_cast<int>(temporaryFiles(folder).size());
  std::cout << round << " kills in " << timer.elapsed() << " ms; " << interrupted
            << " writes cut off mid-way; " << seen.size() << " different versions found\n";
  EXPECT_GT(interrupted, 0) << "no kill landed inside a write, so nothing was tested";
  EXPECT_GT(seen.size(), 1);
  EXPECT_EQ(test::fileMode(path), 0600u);
}

TEST(AtomicWriter, AWriteToASymbolicLinkReplacesTheFileItNames) {
  const QString dotfiles = test::home() + "/dotfiles";
  AtomicWriter::write(dotfiles + "/data.json", "old");
  const QString folder = test::home() + "/config";
  QDir().mkpath(folder);
  struct Case {
    const char* name;
    QString target;
  };
  for (const Case& c : {Case{"absolute.json", dotfiles + "/data.json"},
                        Case{"relative.json", "../dotfiles/data.json"},
                        Case{"chained.json", "absolute.json"}}) {
    SCOPED_TRACE(c.name);
    const QString link = folder + u'/' + c.name;
    ASSERT_EQ(::symlink(QFile::encodeName(c.target).constData(), QFile::encodeName(link).constData()), 0);
    AtomicWriter::write(link, c.name);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Files::read(dotfiles + "/data.json"), QByteArray(c.name));
    EXPECT_EQ(Files::read(link), QByteArray(c.name));
  }
  EXPECT_EQ(temporaryFiles(folder), QStringList());
  EXPECT_EQ(temporaryFiles(dotfiles), QStringList());
}

TEST(AtomicWriter, OnlyTemporaryFilesOfDeadWritersAreRemoved) {
  const QString folder = test::home() + "/store";
  const QString path = folder + "/data.json";
  AtomicWriter::write(path, "old");
  const auto leftover = [&](const QString& name, int ageSeconds) {
    const QString file = folder + "/.data.json." + name + ".tmp";
    AtomicWriter::write(file, "partial");
    const struct timeval times[2] = {{::time(nullptr) - ageSeconds, 0}, {::time(nullptr) - ageSeconds, 0}};
    ::utimes(QFile::encodeName(file).constData(), times);
    return file;
  };
  const QString dead = leftover("dead", 120);
  const QString young = leftover("young", 5);
  const QString otherTarget = folder + "/.other.json.old.tmp";
  AtomicWriter::write(otherTarget, "not ours");
  ::utimes(QFile::encodeName(otherTarget).constData(), nullptr);
  // A writer that is still working, however long it has taken, keeps its file.
  AtomicWriter slow(path);
  slow.append("slow");
  const struct timeval old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
  ::utimes(QFile::encodeName(slow.temporaryPath()).constData(), old);

  AtomicWriter::write(path, "new");
  EXPECT_FALSE(QFile::exists(dead));
  EXPECT_TRUE(QFile::exists(young));
  EXPECT_TRUE(QFile::exists(otherTarget));
  EXPECT_TRUE(QFile::exists(slow.temporaryPath()));

  // Swept as a folder, the dead writes of every target go, and still only those.
  ::utimes(QFile::encodeName(otherTarget).constData(), old);
  AtomicWriter::removeAbandonedIn(folder);
  EXPECT_FALSE(QFile::exists(otherTarget));
  EXPECT_TRUE(QFile::exists(young));
  EXPECT_TRUE(QFile::exists(slow.temporaryPath()));
  slow.commit();
  EXPECT_EQ(Files::read(path), QByteArray("slow"));
}
