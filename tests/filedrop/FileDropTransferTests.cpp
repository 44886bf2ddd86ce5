#include "character/DroppedFileURLs.h"
#include "filedrop/FileDropError.h"
#include "filedrop/FileDropTransfer.h"
#include "filedrop/TransferSupport.h"
#include "platform/core/FileError.h"
#include "platform/core/FileURL.h"
#include "platform/core/TemporaryLock.h"

#include <QElapsedTimer>
#include <QMimeData>
#include <cstring>
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

FileDropResult runOne(const QString& source, const QString& folder, FileDropOperation operation,
                      FileDropFileManager& fileManager = FileDropFileManager::shared()) {
  const std::vector<FileDropResult> results =
      FileDropTransfer::run({fileURL(source)}, fileURL(folder), operation, fileManager);
  EXPECT_EQ(results.size(), 1u);
  return results.empty() ? FileDropResult{} : results.front();
}

QString destinationPath(const FileDropResult& result) {
  return result.destination ? result.destination->toLocalFile() : QString();
}

/// Writes a file named by bytes, which no text may be able to name.
void writeBytes(const QByteArray& path, const QByteArray& bytes) {
  const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(file, 0) << path.toHex().constData();
  EXPECT_EQ(::write(file, bytes.constData(), size_t(bytes.size())), bytes.size());
  ::close(file);
}

QByteArray bytesOf(const QByteArray& path) {
  const int file = ::open(path.constData(), O_RDONLY);
  if (file < 0) return "(missing)";
  QByteArray bytes(4096, '\0');
  const ssize_t got = ::read(file, bytes.data(), size_t(bytes.size()));
  ::close(file);
  bytes.truncate(got < 0 ? 0 : got);
  return bytes;
}

/// A file manager with faults put in: copying bytes fails half-way; the
/// rename that moves an item between folders fails as across file systems
/// (EXDEV), or every rename fails as on a file system that cannot rename
/// without replacing (EINVAL); removing the entry `stuck` is refused.
class FaultyFileManager final : public FileDropFileManager {
 public:
  bool failCopying = false;
  int renameFault = 0;
  QByteArray stuck;

 protected:
  void copyContents(int from, int to, const QByteArray& path) override {
    if (!failCopying) return FileDropFileManager::copyContents(from, to, path);
    (void)::write(to, "partial", 7);
    throw pf::FileError(EIO, QString::fromUtf8(path), QStringLiteral("Could not copy: input/output error."));
  }
  int renameNoReplace(int fromFolder, const char* from, int toFolder, const char* to) override {
    if (renameFault == EINVAL || (renameFault == EXDEV && fromFolder != toFolder)) {
      errno = renameFault;
      return -1;
    }
    return FileDropFileManager::renameNoReplace(fromFolder, from, toFolder, to);
  }
  int removeEntry(int folder, const char* name, int flags) override {
    const QByteArray entry(name);
    if (!stuck.isEmpty() && entry.mid(entry.lastIndexOf('/') + 1) == stuck) {
      errno = EACCES;
      return -1;
    }
    return FileDropFileManager::removeEntry(folder, name, flags);
  }
};

/// Everything in `folder`, hidden items too.
QStringList entriesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

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

TEST(FileDropTransferNames, ANumberedNameFitsTheLongestNameCutAtACharacter) {
  const auto repeated = [](const char* piece, qsizetype bytes) {
    QByteArray text;
    while (text.size() + qsizetype(std::strlen(piece)) <= bytes) text += piece;
    return text;
  };
  const struct {
    QByteArray base;
    QByteArray extension;
  } cases[] = {
      {repeated("n", 251), ".pdf"},        {repeated("\xC3\xA9", 250), ".txt"},
      {repeated("\xE2\x82\xAC", 255), ""}, {repeated("\xF0\x9F\x99\x82", 249), ".md"},
      {repeated("a", 200), ""},            {"a", "." + repeated("x", 253)},
  };
  for (const auto& c : cases) {
    const QByteArray name = c.base + c.extension;
    for (const int number : {2, FileDropTransfer::lastNumber}) {
      const QByteArray numbered = FileDropTransfer::numberedName(name, number);
      const QByteArray suffix = ' ' + QByteArray::number(number);
      SCOPED_TRACE(name.size());
      SCOPED_TRACE(number);
      EXPECT_LE(numbered.size(), FileDropTransfer::longestName);
      EXPECT_EQ(QString::fromUtf8(numbered).toUtf8(), numbered) << "a character was split";
      if (c.base.size() + suffix.size() + c.extension.size() <= FileDropTransfer::longestName) {
        EXPECT_EQ(numbered, c.base + suffix + c.extension);
      } else if (c.base.size() > 1) {
        EXPECT_TRUE(numbered.endsWith(suffix + c.extension));
        EXPECT_TRUE(c.base.startsWith(numbered.chopped(suffix.size() + c.extension.size())));
        EXPECT_GT(numbered.size(), FileDropTransfer::longestName - 4) << "cut no further than a character";
      } else {
        EXPECT_TRUE(name.startsWith(numbered.chopped(suffix.size())));
      }
    }
  }
  const QString folder = test::folderInHome("Saved");
  const QByteArray longest = repeated("\xC3\xA9", 250) + ".pdf";
  const QString source = writeFile(inHome("Drop/") + QString::fromUtf8(longest), "long");
  writeFile(folder + "/" + QString::fromUtf8(longest), "taken");
  const FileDropResult result = runOne(source, folder, FileDropOperation::copy);
  ASSERT_TRUE(result.succeeded()) << result.error->toStdString();
  EXPECT_EQ(destinationPath(result), folder + "/" + QString::fromUtf8(FileDropTransfer::numberedName(longest, 2)));
  EXPECT_EQ(contentsOf(destinationPath(result)), "long");
}

TEST(FileDropTransferNames, ANameThatIsNotUTF8MovesThatFileAndKeepsItsBytes) {
  const QByteArray drop = QFile::encodeName(test::folderInHome("Drop"));
  const QByteArray saved = QFile::encodeName(test::folderInHome("Saved"));
  const QByteArray odd = "/a\xFF.txt";
  const QByteArray lookalike = "/a\xEF\xBF\xBD.txt";
  const QByteArray oddFolder = "/\xFE\xFF";
  writeBytes(drop + odd, "odd");
  writeBytes(drop + lookalike, "lookalike");
  ASSERT_EQ(::mkdir((drop + oddFolder).constData(), 0700), 0);
  writeBytes(drop + oddFolder + "/inner\xFF", "inner");
  writeBytes(saved + odd, "taken");

  QMimeData dropped;
  dropped.setData("text/uri-list", pf::FileURL::fromLocalPath(drop + odd).toEncoded() + "\r\n" +
                                       pf::FileURL::fromLocalPath(drop + oddFolder).toEncoded() + "\r\n");
  const std::vector<FileDropResult> results =
      FileDropTransfer::run(droppedFileURLs(dropped), pf::FileURL::fromLocalPath(saved), FileDropOperation::move);
  ASSERT_EQ(results.size(), 2u);
  for (const FileDropResult& result : results) EXPECT_TRUE(result.succeeded()) << result.error->toStdString();
  EXPECT_EQ(pf::FileURL::localPath(*results[0].destination), saved + "/a\xFF 2.txt");
  EXPECT_EQ(bytesOf(saved + "/a\xFF 2.txt"), "odd");
  EXPECT_EQ(bytesOf(saved + odd), "taken");
  EXPECT_EQ(bytesOf(drop + lookalike), "lookalike");
  EXPECT_EQ(bytesOf(drop + odd), "(missing)");
  EXPECT_EQ(bytesOf(saved + oddFolder + "/inner\xFF"), "inner");
  // Text cannot name these, so the test's folder could not remove them.
  for (const QByteArray& made : {saved + odd, saved + "/a\xFF 2.txt", saved + oddFolder + "/inner\xFF"})
    ::unlink(made.constData());
  ::rmdir((saved + oddFolder).constData());
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

  // A file copied on its own ends with its source's mode, not its temporary's private one.
  const FileDropResult file = runOne(tree + "/bin/run.sh", folder, FileDropOperation::copy);
  EXPECT_EQ(test::lstatOf(destinationPath(file)).st_mode, test::lstatOf(tree + "/bin/run.sh").st_mode);
}

TEST(FileDropTransferCopy, ANameTakenBeforeTheItemIsNamedGoesToTheNextFreeOne) {
  const QString drop = test::folderInHome("Drop");
  writeFile(drop + "/file.txt", "mine");
  writeFile(drop + "/Tree/inner.txt", "mine");
  ::symlink("file.txt", QFile::encodeName(drop + "/link").constData());
  int row = 0;
  for (const char* name : {"Tree", "file.txt", "link"}) {
    for (const bool move : {false, true}) {
      const QString saved = test::folderInHome(QStringLiteral("Saved%1").arg(++row));
      const QString taken = saved + "/" + name;
      writeFile(taken, "theirs");
      writeFile(taken + " 2", "theirs");
      int asked = 0;
      const auto nextName = [&] { return QFile::encodeName(taken + " " + QString::number(++asked + 1)); };
      const QByteArray from = QFile::encodeName(drop + "/" + name);
      const QByteArray to = QFile::encodeName(taken);
      FileDropFileManager& manager = FileDropFileManager::shared();
      const QByteArray placed = move ? manager.moveItem(from, to, nextName) : manager.copyItem(from, to, nextName);
      EXPECT_EQ(placed, to + " 3") << name << (move ? " moved" : " copied");
      EXPECT_EQ(contentsOf(taken), "theirs");
      EXPECT_EQ(contentsOf(taken + " 2"), "theirs");
      EXPECT_EQ(entriesIn(saved).size(), 3) << name << ": " << entriesIn(saved).join(", ").toStdString();
    }
  }
}

TEST(FileDropTransferCopy, ATransferRemovesOnlyTheTemporariesOfDeadTransfersInItsFolder) {
  const QString folder = test::folderInHome("Saved");
  const QString dead = folder + "/.wendle-transfer-0123456789abcdef.tmp";
  writeFile(dead + "/half.bin", "half");
  const QStringList lookalikes = {".wendle-transfer-0123456789ABCDEF.tmp", ".wendle-transfer-zzzzzzzzzzzzzzzz.tmp",
                                  ".wendle-transfer-0123.tmp", "wendle-transfer-0123456789abcdef.tmp",
                                  ".wendle-transfer-0123456789abcdef.tmp.bak"};
  for (const QString& name : lookalikes) writeFile(folder + "/" + name, "the user's");
  const QString live = folder + "/.wendle-transfer-fedcba9876543210.tmp";
  writeFile(live, "being written");
  const pf::FileDescriptor writer = pf::FileDescriptor::open(live, O_RDONLY);
  ASSERT_TRUE(pf::TemporaryLock::hold(writer.get(), AT_FDCWD, QFile::encodeName(live).constData()));

  EXPECT_TRUE(runOne(writeFile(inHome("Drop/new.txt"), "new"), folder, FileDropOperation::copy).succeeded());
  EXPECT_FALSE(exists(dead));
  EXPECT_EQ(contentsOf(live), "being written");
  for (const QString& name : lookalikes) EXPECT_EQ(contentsOf(folder + "/" + name), "the user's") << name.toStdString();
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

TEST(FileDropTransferMove, AFailureMidCopyKeepsTheSourceAndLeavesNothingBehind) {
  const QString file = writeFile(inHome("Drop/single.jpg"), "single");
  const QString tree = inHome("Drop/Album");
  writeFile(tree + "/one.jpg", "one");
  writeFile(tree + "/sub/two.jpg", "two");
  test::stamp(tree + "/sub", 0555, 3'000'000);
  FaultyFileManager faulty;
  faulty.failCopying = true;
  faulty.renameFault = EXDEV;
  const QString folder = test::folderInHome("Saved");
  for (const QString& source : {file, tree}) {
    for (const FileDropOperation operation : {FileDropOperation::copy, FileDropOperation::move}) {
      const QString name = QFileInfo(source).fileName();
      const std::vector<FileDropResult> results = FileDropTransfer::run({fileURL(source)}, fileURL(folder), operation, faulty);
      ASSERT_EQ(results.size(), 1u);
      EXPECT_EQ(results[0].error, QStringLiteral("Could not copy: input/output error.")) << name.toStdString();
      EXPECT_EQ(destinationPath(results[0]), folder + "/" + name);
      EXPECT_EQ(entriesIn(folder), QStringList()) << name.toStdString();
    }
  }
  EXPECT_EQ(contentsOf(file), "single");
  EXPECT_EQ(contentsOf(tree + "/one.jpg"), "one");
  EXPECT_EQ(contentsOf(tree + "/sub/two.jpg"), "two");
}

TEST(FileDropTransferMove, AcrossFileSystemsASourceNotRemovedIsReportedWithBothPlaces) {
  const QString folder = test::folderInHome("Saved");
  const struct {
    const char* source;
    QByteArray stuck;
    const char* error;
  } cases[] = {
      {"notes.txt", "", nullptr},
      {"Album", "Album",
       "The copy at \"%2\" is complete, but the original at \"%1\" was only partly removed (Permission denied). "
       "Keep the copy; what is left of the original is incomplete."},
      {"single.jpg", "single.jpg",
       "The copy at \"%2\" is complete, but the original at \"%1\" could not be removed (Permission denied). "
       "Both are complete."},
  };
  for (const auto& c : cases) {
    const QString source = inHome(QStringLiteral("Drop/") + c.source);
    const QString copy = folder + "/" + c.source;
    writeFile(c.stuck == "Album" ? source + "/one.jpg" : source, "one");
    FaultyFileManager faulty;
    faulty.renameFault = EXDEV;
    faulty.stuck = c.stuck;
    const FileDropResult result = runOne(source, folder, FileDropOperation::move, faulty);
    EXPECT_EQ(result.error, c.error ? std::optional<QString>(QString(c.error).arg(source, copy)) : std::nullopt);
    EXPECT_EQ(destinationPath(result), copy);
    EXPECT_EQ(exists(source), c.error != nullptr) << c.source;
    EXPECT_EQ(contentsOf(c.stuck == "Album" ? copy + "/one.jpg" : copy), "one") << c.source;
  }
  EXPECT_FALSE(exists(home() + "/Drop/Album/one.jpg"));
}

TEST(FileDropTransferMove, WhereRenamesCannotRefuseToReplaceNothingIsReplacedAllTheSame) {
  FaultyFileManager faulty;
  faulty.renameFault = EINVAL;
  const QString folder = test::folderInHome("Saved");
  for (const char* name : {"Album", "notes.txt"}) {
    writeFile(folder + "/" + name + (QByteArray(name) == "Album" ? "/keep.txt" : ""), "theirs");
    for (const FileDropOperation operation : {FileDropOperation::copy, FileDropOperation::move}) {
      const QString source = inHome(QStringLiteral("Drop/") + name);
      writeFile(QByteArray(name) == "Album" ? source + "/one.jpg" : source, "one");
      const FileDropResult result = runOne(source, folder, operation, faulty);
      ASSERT_TRUE(result.succeeded()) << result.error->toStdString();
      EXPECT_EQ(exists(source), operation == FileDropOperation::copy) << name;
    }
  }
  QStringList entries = entriesIn(folder);
  entries.sort();
  EXPECT_EQ(entries, (QStringList{"Album", "Album 2", "Album 3", "notes 2.txt", "notes 3.txt", "notes.txt"}));
  EXPECT_EQ(contentsOf(folder + "/Album/keep.txt"), "theirs");
  EXPECT_EQ(contentsOf(folder + "/notes.txt"), "theirs");
  EXPECT_EQ(contentsOf(folder + "/Album 3/one.jpg"), "one");
}
