#include "filedrop/FileDropError.h"
#include "filedrop/FileDropTransfer.h"
#include "filedrop/TransferSupport.h"
#include "platform/core/FileError.h"

#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using test::contentsOf;
using test::exists;
using test::fileURL;
using test::home;
using test::inHome;
using test::writeFile;

namespace {

const QString alreadyThere = QStringLiteral("This item is already in the selected folder. Nothing was moved.");
const QString insideItself =
    QStringLiteral("A folder cannot be placed inside itself. Choose a different destination.");
const QString folderMissing = QStringLiteral("The saved destination folder is missing or unavailable.");
const QString tooMany = QStringLiteral("Too many files already use this name. Rename the source and try again.");

FileDropResult runOne(const QString& source, const QString& folder, FileDropOperation operation) {
  const std::vector<FileDropResult> results = FileDropTransfer::run({fileURL(source)}, fileURL(folder), operation);
  EXPECT_EQ(results.size(), 1u);
  return results.empty() ? FileDropResult{} : results.front();
}

QString destinationPath(const FileDropResult& result) {
  return result.destination ? result.destination->toLocalFile() : QString();
}

/// Fails every copy of file bytes half-way, after writing part of them.
class FailingFileManager final : public FileDropFileManager {
 protected:
  void copyContents(int, int to, const QByteArray& path) override {
    (void)::write(to, "partial", 7);
    throw pf::FileError(EIO, QString::fromUtf8(path), QStringLiteral("Could not copy: input/output error."));
  }
};

}  // namespace

TEST(FileDropOperation, RawValuesRoundTripAndNothingElseIsAccepted) {
  EXPECT_EQ(rawValue(FileDropOperation::copy), "copy");
  EXPECT_EQ(rawValue(FileDropOperation::move), "move");
  EXPECT_EQ(fileDropOperation("copy"), FileDropOperation::copy);
  EXPECT_EQ(fileDropOperation("move"), FileDropOperation::move);
  for (const char* other : {"", "Copy", "moved", " copy"}) EXPECT_EQ(fileDropOperation(other), std::nullopt) << other;
}

TEST(FileDropTransferNames, NumberGoesBeforeTheLastExtension) {
  const struct {
    const char* name;
    const char* second;
  } cases[] = {
      {"Report.pdf", "Report 2.pdf"},     {"Makefile", "Makefile 2"},   {"archive.tar.gz", "archive.tar 2.gz"},
      {"Notes.old", "Notes 2.old"},       {".bashrc", ".bashrc 2"},     {".config.json", ".config 2.json"},
      {"trailing.", "trailing. 2"},       {"Photos", "Photos 2"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileDropTransfer::numberedName(c.name, 2), c.second) << c.name;
  EXPECT_EQ(FileDropTransfer::numberedName("Report.pdf", 10000), "Report 10000.pdf");
}

TEST(FileDropTransferNames, UniqueSourcesKeepLocalFilesOncePathsComparedExactly) {
  const QString composed = QString::fromUtf8("/tmp/caf\xC3\xA9");
  const QString decomposed = QString::fromUtf8("/tmp/cafe\xCC\x81");
  const QList<QUrl> dropped = {
      fileURL("/tmp/a/report.pdf"),      QUrl("https://example.org/x"),
      fileURL("/tmp/a/./b/../report.pdf"), QUrl("file://localhost/tmp/b"),
      QUrl("file://server/share/c"),     fileURL("/tmp/A/report.pdf"),
      fileURL(composed),                 fileURL(decomposed),
      fileURL("/tmp/b/"),
  };
  const QList<QUrl> expected = {fileURL("/tmp/a/report.pdf"), fileURL("/tmp/b"), fileURL("/tmp/A/report.pdf"),
                                fileURL(composed), fileURL(decomposed)};
  EXPECT_EQ(FileDropTransfer::uniqueSources(dropped), expected);
  EXPECT_TRUE(FileDropTransfer::run({QUrl("https://example.org/x")}, fileURL(test::home()),
                                    FileDropOperation::copy)
                  .empty());
}

TEST(FileDropTransferNames, TakenNamesAreSkippedAndNeverReplaced) {
  const QString folder = test::folderInHome("Saved");
  const QString source = writeFile(inHome("Drop/Report.pdf"), "new");
  writeFile(folder + "/Report.pdf", "first");
  writeFile(folder + "/Report 2.pdf", "second");
  ::symlink("/nonexistent/target", QFile::encodeName(folder + "/Report 3.pdf").constData());

  const FileDropResult result = runOne(source, folder, FileDropOperation::copy);
  EXPECT_TRUE(result.succeeded()) << result.error->toStdString();
  EXPECT_EQ(destinationPath(result), folder + "/Report 4.pdf");
  EXPECT_EQ(contentsOf(folder + "/Report 4.pdf"), "new");
  EXPECT_EQ(contentsOf(folder + "/Report.pdf"), "first");
  EXPECT_EQ(contentsOf(folder + "/Report 2.pdf"), "second");
  EXPECT_TRUE(S_ISLNK(test::lstatOf(folder + "/Report 3.pdf").st_mode));
}

TEST(FileDropTransferNames, EveryNumberTakenFailsAndWritesNothing) {
  const QString folder = test::folderInHome("Full");
  const QString source = writeFile(inHome("Drop/Makefile"), "all:");
  writeFile(folder + "/Makefile", "");
  for (int number = 2; number <= FileDropTransfer::lastNumber; ++number)
    ::close(::open(QFile::encodeName(folder + "/Makefile " + QString::number(number)).constData(),
                   O_CREAT | O_WRONLY, 0600));
  try {
    FileDropTransfer::destination(fileURL(source), fileURL(folder));
    ADD_FAILURE() << "a name was found";
  } catch (const FileDropError& error) {
    EXPECT_EQ(error.code(), FileDropError::Code::tooManyNames);
  }
  const FileDropResult result = runOne(source, folder, FileDropOperation::copy);
  EXPECT_EQ(result, (FileDropResult{fileURL(source), std::nullopt, tooMany}));
  EXPECT_EQ(QDir(folder).count(), 2u + FileDropTransfer::lastNumber);

  QFile::remove(folder + "/Makefile 10000");
  EXPECT_EQ(FileDropTransfer::destination(fileURL(source), fileURL(folder)), fileURL(folder + "/Makefile 10000"));
}

TEST(FileDropTransferNames, ANameThatCannotBeExaminedFailsTheItem) {
  const QString name(254, u'n');
  const QString source = writeFile(inHome("Drop/" + name), "long");
  const FileDropResult result = runOne(source, QFileInfo(source).path(), FileDropOperation::copy);
  ASSERT_FALSE(result.succeeded());
  EXPECT_EQ(result.destination, std::nullopt);
  EXPECT_TRUE(result.error->contains("File name too long")) << result.error->toStdString();
}

TEST(FileDropTransferChecks, ItemsFailWithTheirCheckMessage) {
  const QString folder = test::folderInHome("Saved");
  const QString tree = inHome("Tree");
  QDir().mkpath(tree + "/inner/deeper");
  QDir().mkpath(home() + "/Tree-old");
  writeFile(folder + "/in-place.txt", "here");
  ::symlink(QFile::encodeName(folder).constData(), QFile::encodeName(home() + "/folder-link").constData());
  const struct {
    QString source;
    QString folder;
    FileDropOperation operation;
    std::optional<QString> error;
  } cases[] = {
      {tree, tree, FileDropOperation::copy, insideItself},
      {tree, tree + "/inner/deeper", FileDropOperation::move, insideItself},
      {tree, home() + "/Tree-old", FileDropOperation::copy, std::nullopt},
      {"/", folder, FileDropOperation::copy, insideItself},
      {folder + "/in-place.txt", folder, FileDropOperation::move, alreadyThere},
      {folder + "/in-place.txt", home() + "/folder-link/", FileDropOperation::move, alreadyThere},
      {folder + "/in-place.txt", folder, FileDropOperation::copy, std::nullopt},
      {folder + "/in-place.txt", home() + "/no-such-folder", FileDropOperation::copy, folderMissing},
      {folder + "/in-place.txt", folder + "/in-place.txt", FileDropOperation::copy, folderMissing},
  };
  for (const auto& c : cases) {
    const FileDropResult result = runOne(c.source, c.folder, c.operation);
    EXPECT_EQ(result.error, c.error) << c.source.toStdString() << " -> " << c.folder.toStdString();
    if (c.error) {
      EXPECT_EQ(result.destination, std::nullopt);
    }
  }
  EXPECT_EQ(contentsOf(folder + "/in-place 2.txt"), "here");
  EXPECT_TRUE(exists(home() + "/Tree-old/Tree/inner/deeper"));
  EXPECT_TRUE(exists(tree + "/inner/deeper"));
  EXPECT_EQ(FileDropTransfer::run({fileURL(tree)}, QUrl("https://example.org/"), FileDropOperation::copy)
                .front()
                .error,
            QStringLiteral("Choose a local saved folder."));
}

TEST(FileDropTransferChecks, VanishedSourcesAndSpecialFilesFailQuickly) {
  const QString folder = test::folderInHome("Saved");
  const QString fifo = inHome("Drop/pipe");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString tree = inHome("Drop/Tree");
  writeFile(tree + "/a.txt", "a");
  ASSERT_EQ(::mkfifo(QFile::encodeName(tree + "/z-pipe").constData(), 0600), 0);

  QElapsedTimer timer;
  timer.start();
  const std::vector<FileDropResult> results = FileDropTransfer::run(
      {fileURL(inHome("Drop/gone.txt")), fileURL(fifo), fileURL(tree)}, fileURL(folder), FileDropOperation::copy);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].error->contains("No such file or directory")) << results[0].error->toStdString();
  EXPECT_EQ(results[0].destination, std::nullopt);
  EXPECT_TRUE(results[1].error->contains("is a pipe, socket or device")) << results[1].error->toStdString();
  EXPECT_TRUE(results[2].error->contains("z-pipe")) << results[2].error->toStdString();
  EXPECT_EQ(destinationPath(results[2]), folder + "/Tree");
  EXPECT_FALSE(exists(folder + "/Tree"));
  EXPECT_TRUE(exists(tree + "/a.txt"));
  EXPECT_LT(timer.elapsed(), 5000);
}

TEST(FileDropTransferCopy, TreesKeepContentModesTimesAndLinks) {
  const QString tree = inHome("Drop/Project");
  writeFile(tree + "/bin/run.sh", "#!/bin/sh\n");
  writeFile(tree + "/docs/readme.txt", QByteArray(3 << 20, 'r'));
  ::symlink("../docs", QFile::encodeName(tree + "/bin/docs-link").constData());
  ::symlink("loop", QFile::encodeName(tree + "/loop").constData());
  test::stamp(tree + "/bin/run.sh", 0751, 1'000'000);
  test::stamp(tree + "/docs/readme.txt", 0444, 1'100'000);
  test::stamp(tree + "/docs", 0555, 1'200'000);
  test::stamp(tree + "/bin/docs-link", 0777, 1'300'000);
  test::stamp(tree, 0750, 1'400'000);
  const QString folder = test::folderInHome("Saved");

  const FileDropResult result = runOne(tree, folder, FileDropOperation::copy);
  ASSERT_TRUE(result.succeeded()) << result.error->toStdString();
  const QString copy = folder + "/Project";
  EXPECT_EQ(destinationPath(result), copy);
  EXPECT_EQ(contentsOf(copy + "/docs/readme.txt"), contentsOf(tree + "/docs/readme.txt"));
  for (const char* item : {"", "/bin/run.sh", "/docs/readme.txt", "/docs", "/bin/docs-link", "/loop"}) {
    const struct stat original = test::lstatOf(tree + item);
    const struct stat copied = test::lstatOf(copy + item);
    EXPECT_EQ(copied.st_mode, original.st_mode) << item;
    EXPECT_EQ(copied.st_mtim.tv_sec, original.st_mtim.tv_sec) << item;
  }
  EXPECT_EQ(QFile::symLinkTarget(copy + "/bin/docs-link"), copy + "/docs");
  EXPECT_TRUE(S_ISLNK(test::lstatOf(copy + "/loop").st_mode));
  EXPECT_TRUE(exists(tree + "/docs/readme.txt"));
}

TEST(FileDropTransferCopy, NeverReplacesANameTakenAfterTheCheck) {
  const QString source = writeFile(inHome("Drop/Tree/file.txt"), "mine");
  const QString intruder = writeFile(inHome("Saved/Tree/file.txt"), "theirs");
  for (const QString item : {"/Tree", "/Tree/file.txt"}) {
    for (const bool move : {false, true}) {
      try {
        if (move)
          FileDropFileManager::shared().moveItem(home() + "/Drop" + item, home() + "/Saved" + item);
        else
          FileDropFileManager::shared().copyItem(home() + "/Drop" + item, home() + "/Saved" + item);
        ADD_FAILURE() << "replaced " << item.toStdString();
      } catch (const pf::FileError& error) {
        EXPECT_EQ(error.errorNumber(), EEXIST) << item.toStdString();
        // A move refused by the rename says so; it never falls back to copying.
        if (move) {
          EXPECT_TRUE(QString::fromUtf8(error.what()).contains("already exists")) << error.what();
        }
      }
    }
  }
  EXPECT_EQ(contentsOf(intruder), "theirs");
  EXPECT_EQ(contentsOf(source), "mine");
}

TEST(FileDropTransferMove, SameFileSystemIsARename) {
  const QString source = writeFile(inHome("Drop/big.bin"), QByteArray(1 << 20, 'b'));
  const ino_t inode = test::lstatOf(source).st_ino;
  const FileDropResult result = runOne(source, test::folderInHome("Saved"), FileDropOperation::move);
  ASSERT_TRUE(result.succeeded());
  EXPECT_FALSE(exists(source));
  EXPECT_EQ(test::lstatOf(destinationPath(result)).st_ino, inode);
}

TEST(FileDropTransferMove, AcrossFileSystemsCopiesKeepingEverythingThenRemovesTheSource) {
  const auto other = test::otherDevice();
  if (!other) GTEST_SKIP() << "no second file system";
  const QString file = writeFile(inHome("Drop/notes.txt"), "notes");
  const QString tree = inHome("Drop/Album");
  writeFile(tree + "/photo.jpg", QByteArray(2 << 20, 'p'));
  ::symlink("photo.jpg", QFile::encodeName(tree + "/cover").constData());
  test::stamp(file, 0640, 2'000'000);
  test::stamp(tree + "/photo.jpg", 0600, 2'100'000);
  test::stamp(tree, 0711, 2'200'000);
  const struct stat fileBefore = test::lstatOf(file);
  const struct stat treeBefore = test::lstatOf(tree);

  const std::vector<FileDropResult> results =
      FileDropTransfer::run({fileURL(file), fileURL(tree)}, fileURL(other->path()), FileDropOperation::move);
  ASSERT_EQ(results.size(), 2u);
  for (const FileDropResult& result : results) EXPECT_TRUE(result.succeeded()) << result.error->toStdString();
  EXPECT_FALSE(exists(file));
  EXPECT_FALSE(exists(tree));
  const QString moved = other->path() + "/notes.txt";
  EXPECT_EQ(contentsOf(moved), "notes");
  EXPECT_EQ(test::lstatOf(moved).st_mode, fileBefore.st_mode);
  EXPECT_EQ(test::lstatOf(moved).st_mtim.tv_sec, fileBefore.st_mtim.tv_sec);
  EXPECT_EQ(test::lstatOf(other->path() + "/Album").st_mode, treeBefore.st_mode);
  EXPECT_EQ(test::lstatOf(other->path() + "/Album").st_mtim.tv_sec, treeBefore.st_mtim.tv_sec);
  EXPECT_EQ(contentsOf(other->path() + "/Album/photo.jpg"), QByteArray(2 << 20, 'p'));
  EXPECT_EQ(QFile::symLinkTarget(other->path() + "/Album/cover"), other->path() + "/Album/photo.jpg");
}

TEST(FileDropTransferMove, AFailureMidCopyKeepsTheSourceAndLeavesNoPartialCopy) {
  const auto other = test::otherDevice();
  const QString sameDevice = test::folderInHome("Saved");
  const QString file = writeFile(inHome("Drop/single.jpg"), "single");
  const QString tree = inHome("Drop/Album");
  writeFile(tree + "/one.jpg", "one");
  writeFile(tree + "/sub/two.jpg", "two");
  test::stamp(tree + "/sub", 0555, 3'000'000);
  const struct {
    QString source;
    FileDropOperation operation;
    bool acrossDevices;
  } cases[] = {
      {file, FileDropOperation::copy, false},
      {tree, FileDropOperation::copy, false},
      {file, FileDropOperation::move, true},
      {tree, FileDropOperation::move, true},
  };
  FailingFileManager failing;
  for (const auto& c : cases) {
    if (c.acrossDevices && !other) continue;
    const QString folder = c.acrossDevices ? other->path() : sameDevice;
    const QString name = QFileInfo(c.source).fileName();
    const std::vector<FileDropResult> results =
        FileDropTransfer::run({fileURL(c.source)}, fileURL(folder), c.operation, failing);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].error, QStringLiteral("Could not copy: input/output error.")) << name.toStdString();
    EXPECT_EQ(destinationPath(results[0]), folder + "/" + name);
    EXPECT_FALSE(exists(folder + "/" + name)) << name.toStdString();
  }
  EXPECT_EQ(contentsOf(file), "single");
  EXPECT_EQ(contentsOf(tree + "/one.jpg"), "one");
  EXPECT_EQ(contentsOf(tree + "/sub/two.jpg"), "two");
}
