#include "platform/core/Bookmark.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using pf::Bookmark;
using pf::BookmarkError;
using pf::BookmarkResolution;

namespace {

class BookmarkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_projects = test::home() + "/Documents/Projects";
    m_alpha = m_projects + "/Alpha";
    ASSERT_TRUE(QDir().mkpath(m_alpha));
    m_data = Bookmark::create(m_alpha);
  }

  static void rename(const QString& from, const QString& to) {
    ASSERT_TRUE(QDir().rename(from, to)) << from.toStdString() << " -> " << to.toStdString();
  }

  QString m_projects;
  QString m_alpha;
  QByteArray m_data;
};

}  // namespace

TEST_F(BookmarkTest, ResolvesAtItsPlaceWithoutBeingStale) {
  EXPECT_EQ(Bookmark::resolve(m_data), (BookmarkResolution{m_alpha, false}));
  EXPECT_EQ(Bookmark::resolve(Bookmark::create(m_projects + "/./Alpha/")), (BookmarkResolution{m_alpha, false}));
}

TEST_F(BookmarkTest, FindsARenamedFolderAndReportsItStale) {
  rename(m_alpha, m_projects + "/Beta");
  EXPECT_EQ(Bookmark::resolve(m_data), (BookmarkResolution{m_projects + "/Beta", true}));
}

TEST_F(BookmarkTest, FindsAFolderMovedOneLevelDownOrUp) {
  ASSERT_TRUE(QDir().mkpath(m_projects + "/Archive/2025"));
  rename(m_alpha, m_projects + "/Archive/Alpha");
  EXPECT_EQ(Bookmark::resolve(m_data), (BookmarkResolution{m_projects + "/Archive/Alpha", true}));

  const QByteArray moved = Bookmark::create(m_projects + "/Archive/Alpha");
  rename(m_projects + "/Archive/Alpha", m_projects + "/Alpha");
  EXPECT_EQ(Bookmark::resolve(moved), (BookmarkResolution{m_alpha, true}));
}

TEST_F(BookmarkTest, FindsAFolderWhoseParentWasRenamed) {
  rename(m_projects, test::home() + "/Documents/Work");
  EXPECT_EQ(Bookmark::resolve(m_data), (BookmarkResolution{test::home() + "/Documents/Work/Alpha", true}));
}

TEST_F(BookmarkTest, AnotherItemAtThePathIsUsedButStale) {
  // The old folder is kept (far away) so the new one cannot reuse its inode.
  ASSERT_TRUE(QDir().mkpath(test::home() + "/Elsewhere/Deep"));
  rename(m_alpha, test::home() + "/Elsewhere/Deep/Alpha");
  ASSERT_TRUE(QDir().mkpath(m_alpha));
  EXPECT_EQ(Bookmark::resolve(m_data), (BookmarkResolution{m_alpha, true}));
}

TEST_F(BookmarkTest, BookmarksFilesToo) {
  const QString file = m_alpha + "/notes.txt";
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.close();
  const QByteArray data = Bookmark::create(file);
  EXPECT_TRUE(data.contains("\"kind\":\"file\""));
  rename(file, m_alpha + "/notes-old.txt");
  EXPECT_EQ(Bookmark::resolve(data), (BookmarkResolution{m_alpha + "/notes-old.txt", true}));
}

TEST_F(BookmarkTest, FailsForADeletedFolder) {
  ASSERT_TRUE(QDir(m_alpha).removeRecursively());
  EXPECT_THROW(Bookmark::resolve(m_data), BookmarkError);
}

TEST_F(BookmarkTest, FailsWhenTheMoveLiesBeyondTheSearch) {
  ASSERT_TRUE(QDir().mkpath(m_projects + "/A/B"));
  rename(m_alpha, m_projects + "/A/B/Alpha");
  EXPECT_THROW(Bookmark::resolve(m_data), BookmarkError);
}

TEST_F(BookmarkTest, StopsSearchingAfterItsLimit) {
  // Hard links fill the folder with entries far faster than new files would.
  const QByteArray filler = QFile::encodeName(m_projects + "/filler");
  QFile(QString::fromUtf8(filler)).open(QIODevice::WriteOnly);
  for (int i = 0; i < Bookmark::searchLimit; ++i)
    ASSERT_EQ(::link(filler.constData(), filler + "-" + QByteArray::number(i)), 0);
  ASSERT_TRUE(QDir().mkpath(m_projects + "/Later"));
  rename(m_alpha, m_projects + "/Later/Alpha");
  EXPECT_THROW(Bookmark::resolve(m_data), BookmarkError);
}

TEST_F(BookmarkTest, ForeignBytesFailAndAreNeverStale) {
  const QList<QByteArray> foreign{
      QByteArray("book\0\0\0\0mark\0\0\0\0", 16),
      "",
      "[1]",
      "{\"v\":2,\"path\":\"/tmp\",\"dev\":\"1\",\"ino\":\"2\",\"kind\":\"folder\"}",
      "{\"v\":1,\"path\":\"tmp\",\"dev\":\"1\",\"ino\":\"2\",\"kind\":\"folder\"}",
      "{\"v\":1,\"path\":\"/tmp\",\"dev\":1,\"ino\":\"2\",\"kind\":\"folder\"}",
      "{\"v\":1,\"path\":\"/tmp\",\"dev\":\"1\",\"ino\":\"-2\",\"kind\":\"folder\"}",
      "{\"v\":1,\"path\":\"/tmp\",\"dev\":\"1\",\"ino\":\"2\",\"kind\":\"alias\"}",
      "{\"v\":1,\"path\":\"/tmp\",\"dev\":\"1\",\"ino\":\"2\"}",
      "{\"v\":true,\"path\":\"/tmp\",\"dev\":\"1\",\"ino\":\"2\",\"kind\":\"folder\"}",
  };
  for (const QByteArray& data : foreign) EXPECT_THROW(Bookmark::resolve(data), BookmarkError) << data.toStdString();
}

TEST(Bookmark, CreatingNeedsAnExistingAbsolutePath) {
  try {
    Bookmark::create(test::home() + "/missing");
    FAIL() << "no error";
  } catch (const BookmarkError& error) {
    EXPECT_EQ(std::string(error.what()), "The item \"" + (test::home() + "/missing").toStdString() +
                                             "\" could not be bookmarked: No such file or directory.");
  }
  EXPECT_THROW(Bookmark::create("Documents"), BookmarkError);
  EXPECT_FALSE(Bookmark::startAccessingSecurityScopedResource(test::home()));
}
