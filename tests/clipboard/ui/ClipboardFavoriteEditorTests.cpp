#include "FavoritesWindowSupport.h"
#include "clipboard/ClipboardFavoritesStore.h"
#include "clipboard/ui/ClipboardFavoriteEditor.h"
#include "shortcuts/QuibError.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

using namespace test;

namespace {

const QString textMessage = QStringLiteral("Enter the text to save (up to 100,000 characters).");

const ClipboardFavorite tricky{QStringLiteral("ID-1"), QStringLiteral("Tricky"), trickyText, QStringLiteral("links")};

/// An editor on screen that records what it hands over.
struct OpenEditor {
  explicit OpenEditor(std::optional<ClipboardFavorite> item, const QString& defaultListID = QStringLiteral("others"))
      : editor(std::move(item), ClipboardFavoriteEditor::builtInLists(), defaultListID) {
    editor.onSave = [this](const ClipboardFavorite& favorite) {
      if (refusal) throw QuibError(*refusal);
      saved.push_back(favorite);
    };
    editor.onClose = [this] { ++closes; };
    editor.present();
  }
  void save() { click(buttonTitled(editor.window(), QStringLiteral("Save"))); }

  ClipboardFavoriteEditor editor;
  std::vector<ClipboardFavorite> saved;
  std::optional<QString> refusal;
  int closes = 0;
};

TEST(ClipboardFavoriteEditor, AnUntouchedTextIsSavedExactlyAsStored) {
  OpenEditor open(tricky);
  QTest::keyClicks(open.editor.nameField(), QStringLiteral(" 2"));
  open.save();
  ASSERT_EQ(open.saved.size(), 1u);
  EXPECT_EQ(open.saved[0].text, trickyText);
  EXPECT_EQ(open.saved[0], (ClipboardFavorite{tricky.id, QStringLiteral("Tricky 2"), trickyText, tricky.listID}));
}

TEST(ClipboardFavoriteEditor, AnEditedTextKeepsItsLineSeparatorsAndNonBreakingSpaces) {
  OpenEditor open(ClipboardFavorite{QStringLiteral("ID-2"), QStringLiteral("n"),
                                    QStringLiteral("a\u00A0b\u2028c"), QStringLiteral("others")});
  open.editor.textView()->moveCursor(QTextCursor::End);
  QTest::keyClicks(open.editor.textView(), QStringLiteral("!"));
  QTest::keyClick(open.editor.textView(), Qt::Key_Return);
  QTest::keyClicks(open.editor.textView(), QStringLiteral("\"quoted\" -- text"));
  open.save();
  ASSERT_EQ(open.saved.size(), 1u);
  EXPECT_EQ(open.saved[0].text, QStringLiteral("a\u00A0b\u2028c!\n\"quoted\" -- text"));
}

TEST(ClipboardFavoriteEditor, TypingKeepsTheLineBreaksOfWhatItLeavesAlone) {
  OpenEditor open(tricky);
  open.editor.textView()->moveCursor(QTextCursor::End);
  QTest::keyClicks(open.editor.textView(), QStringLiteral("!"));
  QTest::keyClick(open.editor.textView(), Qt::Key_Return);
  open.save();
  ASSERT_EQ(open.saved.size(), 1u);
  EXPECT_EQ(open.saved[0].text, trickyText + "!\n");
}

TEST(ClipboardFavoriteEditor, AFavoriteSavedThroughTheStoreKeepsItsFileBytes) {
  writeFavoriteItems({tricky});
  const QByteArray before = favoritesBytes();
  ClipboardFavoritesStore store(favoritesFolder());
  ClipboardFavoriteEditor editor(store.items()[0], store.lists());
  editor.onSave = [&](const ClipboardFavorite& favorite) { store.save(favorite, tricky); };
  editor.save();
  EXPECT_FALSE(editor.window()->isVisible());
  EXPECT_EQ(favoritesBytes(), before);
}

struct RefusalCase {
  const char* label;
  QString name;
  QString text;
  QString message;
};

TEST(ClipboardFavoriteEditor, RefusesWhatCannotBeSavedAndKeepsEverythingTyped) {
  const RefusalCase cases[] = {
      {"empty name", {}, QStringLiteral("t"), nameMessage},
      {"blank name", QStringLiteral("   "), QStringLiteral("t"), nameMessage},
      {"long name", QString(101, u'n'), QStringLiteral("t"), nameMessage},
      {"blank text", QStringLiteral("n"), QStringLiteral(" \n\u00A0"), textMessage},
      {"long text", QStringLiteral("n"), QString(100'001, u't'), textMessage},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.label);
    OpenEditor open(std::nullopt);
    open.editor.nameField()->setText(c.name);
    open.editor.textView()->setPlainText(c.text);
    open.save();
    EXPECT_TRUE(open.saved.empty());
    EXPECT_EQ(open.editor.status()->text(), c.message);
    EXPECT_TRUE(open.editor.window()->isVisible());
    EXPECT_EQ(open.editor.nameField()->text(), c.name);
  }
}

TEST(ClipboardFavoriteEditor, KeepsSpacesAroundANameAndTheLongestText) {
  OpenEditor open(std::nullopt);
  open.editor.nameField()->setText(QStringLiteral("  padded  "));
  open.editor.textView()->setPlainText(QString(100'000, u't'));
  open.save();
  ASSERT_EQ(open.saved.size(), 1u);
  EXPECT_EQ(open.saved[0].name, QStringLiteral("  padded  "));
  EXPECT_EQ(open.closes, 1);
}

TEST(ClipboardFavoriteEditor, ARefusedSaveShowsTheStoresSentenceAndKeepsTheDraftID) {
  OpenEditor open(std::nullopt, QStringLiteral("tags"));
  EXPECT_EQ(open.editor.listPopup()->currentText(), QStringLiteral("#Tags"));
  EXPECT_EQ(open.editor.draftID().size(), 36);
  QTest::keyClicks(open.editor.nameField(), QStringLiteral("n"));
  QTest::keyClicks(open.editor.textView(), QStringLiteral("t"));
  open.refusal = QStringLiteral("Another Wendle is saving favorites. Try again shortly.");
  open.save();
  EXPECT_EQ(open.editor.status()->text(), *open.refusal);
  open.refusal.reset();
  open.save();
  ASSERT_EQ(open.saved.size(), 1u);
  EXPECT_EQ(open.saved[0].id, open.editor.draftID());
  EXPECT_EQ(open.saved[0].listID, QStringLiteral("tags"));
}

TEST(ClipboardFavoriteEditor, EscapeCancelsAndReturnNeverSaves) {
  OpenEditor open(tricky);
  QTest::keyClick(open.editor.nameField(), Qt::Key_Return);
  QTest::keyClick(open.editor.textView(), Qt::Key_Return);
  EXPECT_TRUE(open.saved.empty());
  EXPECT_TRUE(open.editor.window()->isVisible());
  QTest::keyClick(open.editor.textView(), Qt::Key_Escape);
  EXPECT_FALSE(open.editor.window()->isVisible());
  EXPECT_TRUE(open.saved.empty());
  EXPECT_EQ(open.closes, 1);
}

TEST(ClipboardFavoriteEditor, AFavoriteOfAListNotOfferedOpensOnTheFirstList) {
  ClipboardFavorite orphan = tricky;
  orphan.listID = QStringLiteral("gone");
  OpenEditor open(orphan);
  EXPECT_EQ(open.editor.window()->windowTitle(), QStringLiteral("Edit Clipboard Favorite"));
  EXPECT_EQ(open.editor.value().listID, QStringLiteral("tags"));
  ClipboardFavoriteEditor none(std::nullopt, {});
  EXPECT_EQ(none.window()->windowTitle(), QStringLiteral("New Clipboard Favorite"));
  none.nameField()->setText(QStringLiteral("n"));
  EXPECT_THROW(
      {
        try {
          none.value();
        } catch (const QuibError& error) {
          EXPECT_EQ(error.message(), QStringLiteral("Choose a list for this favorite."));
          throw;
        }
      },
      QuibError);
}

}  // namespace
