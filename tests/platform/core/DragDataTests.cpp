#include "platform/core/DragData.h"

#include <QMimeData>
#include <gtest/gtest.h>

using pf::DragData;

namespace {

const QString filenamesType = QStringLiteral("NSFilenamesPboardType");

QByteArray plist(const QByteArray& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">" +
         body + "</plist>";
}

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

QList<QUrl> dropped(const QMimeData& data) { return DragData(data).droppedFileURLs(); }

}  // namespace

TEST(DragData, FileURLsKeepOnlyAbsoluteLocalFilesInOrder) {
  QMimeData data;
  data.setData(QStringLiteral("text/uri-list"),
               "file:///home/a/b.txt\r\nhttps://example.org/x\r\n# a comment\r\n"
               "file:relative.txt\r\nfile:///tmp/%C3%A9t%C3%A9.png\r\n");
  const QList<QUrl> files = DragData(data).fileURLs();
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].toLocalFile(), QStringLiteral("/home/a/b.txt"));
  EXPECT_EQ(files[1].toLocalFile(), QStringLiteral("/tmp/été.png"));
}

TEST(DragData, ReadsAPropertyListOfStrings) {
  QMimeData data;
  data.setData(filenamesType, plist("<array><string>/a &amp; b</string><string>rel</string></array>"));
  EXPECT_EQ(DragData(data).stringList(filenamesType), (QStringList{QStringLiteral("/a & b"), QStringLiteral("rel")}));

  data.setData(filenamesType, "<array><string>/bare</string></array>");
  EXPECT_EQ(DragData(data).stringList(filenamesType), QStringList{QStringLiteral("/bare")});
}

TEST(DragData, RefusesAnythingButAListOfStrings) {
  QMimeData data;
  EXPECT_EQ(DragData(data).stringList(filenamesType), std::nullopt);
  for (const QByteArray& body : {plist("<array><string>/a</string><integer>3</integer></array>"),
                                 plist("<dict><key>k</key><string>/a</string></dict>"), plist("<array><string>/a"),
                                 QByteArray("/plain/text/path")}) {
    data.setData(filenamesType, body);
    EXPECT_EQ(DragData(data).stringList(filenamesType), std::nullopt) << body.constData();
  }
}

TEST(DragDataDroppedFiles, KeepsFileURLsInOrderWithoutDuplicates) {
  QMimeData data;
  data.setUrls({QUrl(QStringLiteral("file:///home/u/b.txt")), QUrl(QStringLiteral("https://example.org/page")),
                QUrl(QStringLiteral("file:///home/u/a.txt")), QUrl(QStringLiteral("file:///home/u/./b.txt")),
                QUrl(QStringLiteral("file:///home/u/x/../a.txt")), QUrl(QStringLiteral("file:///home/u/c%20d.txt"))});
  EXPECT_EQ(paths(dropped(data)),
            (QStringList{"file:///home/u/b.txt", "file:///home/u/a.txt", "file:///home/u/c d.txt"}));
}

TEST(DragDataDroppedFiles, FirstOfTheDuplicatesStaysUnchanged) {
  QMimeData data;
  data.setUrls({QUrl(QStringLiteral("file:///tmp/dir/")), QUrl(QStringLiteral("file:///tmp/dir"))});
  EXPECT_EQ(paths(dropped(data)), QStringList{"file:///tmp/dir/"});
}

TEST(DragDataDroppedFiles, FallsBackToAbsolutePathsOfTheFilenamesList) {
  QMimeData data;
  data.setData(filenamesType, pathList({"/tmp/one", "relative/two", "~/three", "/tmp/one", "/tmp/a & b"}));
  const QList<QUrl> files = dropped(data);
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].toLocalFile(), QStringLiteral("/tmp/one"));
  EXPECT_EQ(files[1].toLocalFile(), QStringLiteral("/tmp/a & b"));

  // File URLs, when there are any, win over the list.
  data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/url"))});
  EXPECT_EQ(paths(dropped(data)), QStringList{"file:///tmp/url"});
}

TEST(DragDataDroppedFiles, NothingFromPlainTextOrAnEmptyPasteboard) {
  QMimeData empty;
  EXPECT_TRUE(dropped(empty).isEmpty());
  QMimeData text;
  text.setText(QStringLiteral("/etc/passwd"));
  EXPECT_TRUE(dropped(text).isEmpty());
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org")), QUrl(QStringLiteral("relative.txt"))});
  EXPECT_TRUE(dropped(web).isEmpty());
}
