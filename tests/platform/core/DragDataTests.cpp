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
  data.setData(filenamesType,
               plist("<array><string>/a &amp; b</string><string>rel</string></array>"));
  EXPECT_EQ(DragData(data).stringList(filenamesType),
            (QStringList{QStringLiteral("/a & b"), QStringLiteral("rel")}));

  data.setData(filenamesType, "<array><string>/bare</string></array>");
  EXPECT_EQ(DragData(data).stringList(filenamesType), QStringList{QStringLiteral("/bare")});
}

TEST(DragData, RefusesAnythingButAListOfStrings) {
  QMimeData data;
  EXPECT_EQ(DragData(data).stringList(filenamesType), std::nullopt);
  for (const QByteArray& body :
       {plist("<array><string>/a</string><integer>3</integer></array>"),
        plist("<dict><key>k</key><string>/a</string></dict>"), plist("<array><string>/a"),
        QByteArray("/plain/text/path")}) {
    data.setData(filenamesType, body);
    EXPECT_EQ(DragData(data).stringList(filenamesType), std::nullopt) << body.constData();
  }
}
