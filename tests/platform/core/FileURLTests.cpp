#include "platform/core/FileURL.h"

#include <QMimeData>
#include <gtest/gtest.h>

using pf::FileURL;

TEST(FileURL, PathsComeBackByteForByteThroughAURIList) {
  const QByteArray paths[] = {
      "/tmp/plain.txt",       "/tmp/a\xFF" "b",        "/tmp/a\xEF\xBF\xBD" "b", "/tmp/caf\xC3\xA9 x",
      "/tmp/cafe\xCC\x81",    "/tmp/100%41 #1?[x];@",  "/tmp/%FF",               "/",
  };
  for (const QByteArray& path : paths) {
    const QUrl url = FileURL::fromLocalPath(path);
    QMimeData dropped;
    dropped.setData(QStringLiteral("text/uri-list"), url.toEncoded() + "\r\n");
    ASSERT_EQ(dropped.urls().size(), 1) << path.toHex().constData();
    EXPECT_EQ(FileURL::localPath(dropped.urls().front()), path) << path.toHex().constData();
    if (QString::fromUtf8(path).toUtf8() == path) {
      EXPECT_EQ(url, QUrl::fromLocalFile(QString::fromUtf8(path))) << path.constData();
    }
  }
  EXPECT_NE(FileURL::fromLocalPath("/tmp/a\xFF" "b"), FileURL::fromLocalPath("/tmp/a\xEF\xBF\xBD" "b"));
}

TEST(FileURL, LocalPathsAreStandardisedAndOtherURLsHaveNone) {
  const struct {
    const char* url;
    std::optional<QByteArray> path;
  } cases[] = {
      {"file:///tmp/a/./b/../c", "/tmp/a/c"},  {"file:///tmp//a/", "/tmp/a"},
      {"file:///../x", "/x"},                   {"file://localhost/tmp/x", "/tmp/x"},
      {"file://LOCALHOST/tmp/x", "/tmp/x"},     {"file://server/share/x", std::nullopt},
      {"file:relative.txt", std::nullopt},      {"https://example.org/x", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FileURL::localPath(QUrl(c.url)), c.path) << c.url;
}

TEST(FileURL, PathsSplitIntoTheirFolderAndNameAndJoinAgain) {
  for (const QByteArray path : {"/a", "/a/b\xFF", "/a/b/c.txt"}) {
    const QByteArray folder = FileURL::parentPath(path);
    EXPECT_EQ(FileURL::childPath(folder, FileURL::fileName(path)), path) << path.constData();
    EXPECT_FALSE(FileURL::fileName(path).contains('/')) << path.constData();
  }
  EXPECT_EQ(FileURL::parentPath("/a"), "/");
}
