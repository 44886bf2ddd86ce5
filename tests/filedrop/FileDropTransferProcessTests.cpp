#include "filedrop/FileDropFileManager.h"
#include "filedrop/FileDropTransfer.h"
#include "filedrop/TransferSupport.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>

using test::contentsOf;
using test::fileURL;
using test::writeFile;

namespace {

/// The items in `folder` with names of their own (hidden temporaries left out).
QStringList namedItems(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

QStringList temporaries(const QString& folder) {
  QStringList found;
  for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
    if (FileDropFileManager::isTemporaryName(QFile::encodeName(name))) found << name;
  return found;
}

/// The item a crash helper copies: the one item in the folder beside `folder` named "Drop".
QString dropped(const QString& folder) {
  const QString drop = QFileInfo(folder).path() + "/Drop";
  return drop + u'/' + namedItems(drop).value(0);
}

/// Throws unless `copy` is a whole copy of `source`: the same kind, mode and
/// entries, files of the same size ending in the same bytes.
void expectWhole(const QString& source, const QString& copy) {
  const struct stat original = test::lstatOf(source);
  const struct stat copied = test::lstatOf(copy);
  const auto tail = [](const QString& path) { return contentsOf(path).right(4096); };
  if (copied.st_mode != original.st_mode || (S_ISREG(original.st_mode) && (copied.st_size != original.st_size ||
                                                                           tail(copy) != tail(source))))
    throw std::runtime_error("partial item under a final name: " + copy.toStdString());
  if (!S_ISDIR(original.st_mode)) return;
  if (namedItems(source) != namedItems(copy))
    throw std::runtime_error("partial folder under a final name: " + copy.toStdString());
  for (const QString& name : namedItems(source)) expectWhole(source + u'/' + name, copy + u'/' + name);
}

/// The number of whole copies in `folder`; throws when any named item is not whole.
int wholeCopies(const QString& folder) {
  const QString source = dropped(folder);
  for (const QString& name : namedItems(folder)) expectWhole(source, folder + u'/' + name);
  return int(namedItems(folder).size());
}

test::CrashSubject transferSubject(const QString& root) {
  const QString folder = test::folderInHome(root + "/Saved");
  return {"copyIntoForever", folder, [folder] { return std::optional(wholeCopies(folder)); },
          [folder] { return std::optional(int(namedItems(folder).size())); }};
}

/// Copies without waiting for the disk: the kills test what a copy is named
/// while it is made, and on a busy machine a wait for the disk (for everyone's
/// writes, in a folder's case) could outlast every kill's moment.
class NoWaitFileManager final : public FileDropFileManager {
 protected:
  int writeToDisk(int, bool) override { return 0; }
};

}  // namespace

WENDLE_TEST_HELPER(copyIntoForever) {
  const QString folder = args.value(0);
  const QString source = dropped(folder);
  NoWaitFileManager noWait;
  test::commitForever(int(namedItems(folder).size()) + 1, [&](int) {
    const FileDropResult result =
        FileDropTransfer::run({fileURL(source)}, fileURL(folder), FileDropOperation::copy, noWait)[0];
    if (result.succeeded()) return;
    std::fprintf(stderr, "%s\n", qPrintable(*result.error));
    std::_Exit(3);
  });
}

WENDLE_TEST_HELPER(copyOneNameRepeatedly) {
  const QString folder = args.value(0);
  const QString source = QFileInfo(folder).path() + "/Drop-" + args.value(1) + "/same.txt";
  for (int n = 0; n < args.value(2).toInt(); ++n) {
    writeFile(source, (args.value(1) + QString::number(n)).toUtf8());
    const FileDropResult result = FileDropTransfer::run({fileURL(source)}, fileURL(folder), FileDropOperation::copy)[0];
    if (!result.succeeded()) {
      std::fprintf(stderr, "copy %d: %s\n", n, qPrintable(*result.error));
      return 3;
    }
  }
  return 0;
}

TEST(FileDropTransferHarness, AKilledTransferLeavesNothingPartialUnderAFinalName) {
  const auto file = [](const QString& path) { writeFile(path, QByteArray(256 << 10, 'f') + "end"); };
  const struct {
    const char* root;
    std::function<void(const QString& drop)> make;
  } cases[] = {
      {"file",
       [&](const QString& drop) {
         file(drop + "/big.bin");
         test::stamp(drop + "/big.bin", 0640, 1'000'000);
       }},
      {"folder",
       [&](const QString& drop) {
         for (const char* name : {"/Album/one.bin", "/Album/two.bin", "/Album/sub/three.bin"}) file(drop + name);
         test::stamp(drop + "/Album", 0750, 1'000'000);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root);
    c.make(test::folderInHome(QStringLiteral("%1/Drop").arg(c.root)));
    const test::CrashSubject subject = transferSubject(c.root);
    test::runCrashHarness(subject, 30);
    // The next transfer into the folder removes what the killed ones left.
    EXPECT_TRUE(FileDropTransfer::run({fileURL(dropped(subject.folder))}, fileURL(subject.folder),
                                      FileDropOperation::copy)[0]
                    .succeeded());
    EXPECT_EQ(temporaries(subject.folder), QStringList());
  }
}

TEST(FileDropTransferHarness, CopiesOfOneNameAtOnceEachTakeTheirOwnNumber) {
  const test::Contention contention;
  const QString folder = test::folderInHome("Saved");
  contention.run("copyOneNameRepeatedly", folder);
  QStringList contents;
  QStringList names;
  for (const QString& name : namedItems(folder)) {
    contents << QString::fromUtf8(contentsOf(folder + u'/' + name));
    names << name;
  }
  contention.expectEachOnce(contents);
  QStringList expected{"same.txt"};
  for (int number = 2; number <= contention.processes * contention.changes; ++number)
    expected << QStringLiteral("same %1.txt").arg(number);
  names.sort();
  expected.sort();
  EXPECT_EQ(names, expected);
  EXPECT_EQ(temporaries(folder), QStringList());
}
