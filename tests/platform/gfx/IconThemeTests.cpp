#include "platform/gfx/IconTheme.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace pf;

TEST(IconTheme, NamesComeFromTheThemeOrItsFallbacksAndPathsFromTheirFilesAndNothingBlankIsAnIcon) {
  QTemporaryDir folder;
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(folder.filePath("red.png")));
  QImage clear(16, 16, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  ASSERT_TRUE(clear.save(folder.filePath("clear.png")));
  QFile notes(folder.filePath("notes.png"));
  ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
  notes.write("not a picture");
  notes.close();

  const struct {
    QString name;
    bool found;
  } cases[] = {
      {"utilities-terminal", true},  // only in Adwaita, the fallback of a bare X server
      {folder.filePath("red.png"), true},
      {folder.filePath("clear.png"), false},
      {folder.filePath("notes.png"), false},
      {folder.filePath("missing.png"), false},
      {"no-such-icon-in-any-theme", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    const auto image = IconTheme::image(c.name, 32);
    ASSERT_EQ(image.has_value(), c.found);
    if (!image) continue;
    EXPECT_EQ(image->size(), (Size{32, 32}));
    const QImage drawn = image->rendered(QSize(32, 32));
    EXPECT_GT(qAlpha(drawn.pixel(16, 16)), 0);
  }
}
