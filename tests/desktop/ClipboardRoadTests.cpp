#include "desktop/DesktopTest.h"

namespace desk {

TEST_F(DesktopTest, AFavoriteTypedWithATabAndAnEmojiIsCopiedExactlyAsTyped) {
  const QString text = QStringLiteral("Tea\tfor two 🍵");
  RunningWendle& wendle = start();
  const std::optional<TopWindow> favorites =
      openFromHook(wendle, QStringLiteral("Clipboard…"), QStringLiteral("Clipboard — Wendle"));
  ASSERT_TRUE(favorites);

  clickOn(wendle, *favorites, QStringLiteral("New…"));
  const std::optional<TopWindow> editor = windows.waitFor(QStringLiteral("New Clipboard Favorite"));
  ASSERT_TRUE(editor) << "New… opened no editor";
  clickOn(wendle, *editor, QStringLiteral("Favorite name"));
  input.type(QStringLiteral("Tea"));
  clickOn(wendle, *editor, QStringLiteral("Favorite text"));
  input.type(text);
  EXPECT_EQ(wendle.find(editor->id, QStringLiteral("Favorite text")).value_or(Seen{}).value, text);
  shot(QStringLiteral("typed"));
  clickOn(wendle, *editor, QStringLiteral("Save"));
  EXPECT_TRUE(windows.waitGone(editor->title));

  clickOn(wendle, *favorites, QStringLiteral("Tea"));
  clickOn(wendle, *favorites, QStringLiteral("Copy"));
  EXPECT_TRUE(waitUntil([&] { return screen.clipboardText() == text; }, 3000))
      << "another program reads " << screen.clipboardText().toStdString();
  shot(QStringLiteral("copied"));
}

}  // namespace desk
