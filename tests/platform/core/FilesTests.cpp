#include "platform/core/FileError.h"
#include "platform/core/Files.h"
#include "support/FileMode.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using pf::FileError;
using pf::Files;

namespace {

int errorOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const FileError& error) {
    return error.errorNumber();
  }
  return 0;
}

}  // namespace

TEST(Files, ReadTellsMissingApartFromOtherFailures) {
  const QString path = test::home() + "/data.json";
  EXPECT_EQ(Files::read(path), std::nullopt);
  EXPECT_EQ(Files::read(test::home() + "/no/such/folder/data.json"), std::nullopt);

  Files::createExclusive(path, "{}\n");
  EXPECT_EQ(Files::read(path), QByteArray("{}\n"));
  Files::createExclusive(test::home() + "/empty", {});
  EXPECT_EQ(Files::read(test::home() + "/empty"), QByteArray());

  try {
    Files::read(test::home());
    FAIL() << "reading a folder must fail";
  } catch (const FileError& error) {
    EXPECT_EQ(error.errorNumber(), EISDIR);
    EXPECT_EQ(error.path(), test::home());
    EXPECT_NE(QString::fromStdString(error.what()).indexOf(test::home()), -1) << error.what();
  }
  EXPECT_EQ(errorOf([&] { Files::read(path + "/inside"); }), ENOTDIR);

  const QString pipe = test::home() + "/pipe.json";
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_EQ(errorOf([&] { Files::read(pipe); }), EINVAL) << "a pipe nobody writes to must not block";
}

TEST(Files, CreateExclusiveMakesAPrivateFileAndNeverReplaces) {
  const QString path = test::home() + "/new.json";
  Files::createExclusive(path, "first");
  EXPECT_EQ(test::fileMode(path), 0600u);
  EXPECT_EQ(errorOf([&] { Files::createExclusive(path, "second"); }), EEXIST);
  EXPECT_EQ(Files::read(path), QByteArray("first"));
}

TEST(Files, RenameNoReplaceRefusesAnExistingTarget) {
  const QString from = test::home() + "/a.json";
  const QString to = test::home() + "/b.json";
  Files::createExclusive(from, "a");
  Files::createExclusive(to, "b");
  try {
    Files::renameNoReplace(from, to);
    FAIL() << "an existing target must not be replaced";
  } catch (const FileError& error) {
    EXPECT_EQ(error.errorNumber(), EEXIST);
    EXPECT_NE(std::string(error.what()).find("already exists"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Files::read(from), QByteArray("a"));
  EXPECT_EQ(Files::read(to), QByteArray("b"));

  const QString free = test::home() + "/c.json";
  Files::renameNoReplace(from, free);
  EXPECT_EQ(Files::read(from), std::nullopt);
  EXPECT_EQ(Files::read(free), QByteArray("a"));
  EXPECT_EQ(errorOf([&] { Files::renameNoReplace(from, test::home() + "/d.json"); }), ENOENT);
}

TEST(Files, MakeFoldersCreatesParentsPrivatelyAndLeavesExistingOnes) {
  const QString existing = test::home() + "/shared";
  ASSERT_EQ(::mkdir(QFile::encodeName(existing).constData(), 0755), 0);
  ::chmod(QFile::encodeName(existing).constData(), 0755);

  Files::makeFolders(existing + "/one/two/three");
  EXPECT_EQ(test::fileMode(existing), 0755u);
  EXPECT_EQ(test::fileMode(existing + "/one"), 0700u);
  EXPECT_EQ(test::fileMode(existing + "/one/two"), 0700u);
  EXPECT_EQ(test::fileMode(existing + "/one/two/three"), 0700u);
  Files::makeFolders(existing + "/one/two/three/");

  Files::createExclusive(existing + "/file", {});
  EXPECT_EQ(errorOf([&] { Files::makeFolders(existing + "/file"); }), ENOTDIR);
  EXPECT_EQ(errorOf([&] { Files::makeFolders(existing + "/file/below"); }), ENOTDIR);
}
