#include "character/DroppedFileURLs.h"

#include <QMimeData>
#include <gtest/gtest.h>

namespace {

const QString filenamesType = QStringLiteral("NSFilenamesPboardType");

QByteArray pathList(const QStringList& paths) {
  QByteArray body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><array>";
  for (const QString& path : paths) body += "<string>" + path.toHtmlEscaped().toUtf8() + "</string>";
  return body + "</array></plist>";
}

QStringList paths(const QList<QUrl>& urls) {
  QStringList list;
  for (const QUrl& url : urls) list << url.toString();
  return list;
}

}  // namespace

TEST(DroppedFileURLs, KeepsFileURLsInOrderWithoutDuplicates) {
  QMimeData data;
  data.setUrls({QUrl(QStringLiteral("file:///home/u/b.txt")),
                QUrl(QStringLiteral("https://example.org/page")),
                QUrl(QStringLiteral("file:///home/u/a.txt")),
                QUrl(QStringLiteral("file:///home/u/./b.txt")),
                QUrl(QStringLiteral("file:///home/u/x/../a.txt")),
                QUrl(QStringLiteral("file:///home/u/c%20d.txt"))});
  EXPECT_EQ(paths(droppedFileURLs(data)),
            (QStringList{"file:///home/u/b.txt", "file:///home/u/a.txt", "file:///home/u/c d.txt"}));
}

TEST(DroppedFileURLs, FirstOfTheDuplicatesStaysUnchanged) {
  QMimeData data;
  data.setUrls({QUrl(QStringLiteral("file:///tmp/dir/")), QUrl(QStringLiteral("file:///tmp/dir"))});
  EXPECT_EQ(paths(droppedFileURLs(data)), QStringList{"file:///tmp/dir/"});
}

TEST(DroppedFileURLs, FallsBackToAbsolutePathsOfTheFilenamesList) {
  QMimeData data;
  data.setData(filenamesType, pathList({"/tmp/one", "relative/two", "~/three", "/tmp/one", "/tmp/a & b"}));
  const QList<QUrl> files = droppedFileURLs(data);
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].toLocalFile(), QStringLiteral("/tmp/one"));
  EXPECT_EQ(files[1].toLocalFile(), QStringLiteral("/tmp/a & b"));

  // File URLs, when there are any, win over the list.
  data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/url"))});
  EXPECT_EQ(paths(droppedFileURLs(data)), QStringList{"file:///tmp/url"});
}

TEST(DroppedFileURLs, NothingFromPlainTextOrAnEmptyPasteboard) {
  QMimeData empty;
  EXPECT_TRUE(droppedFileURLs(empty).isEmpty());
  QMimeData text;
  text.setText(QStringLiteral("/etc/passwd"));
  EXPECT_TRUE(droppedFileURLs(text).isEmpty());
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org")), QUrl(QStringLiteral("relative.txt"))});
  EXPECT_TRUE(droppedFileURLs(web).isEmpty());
}
