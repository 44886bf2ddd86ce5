#pragma once

#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/EditorShortcutCell.h"
#include "shortcuts/ui/ShortcutEditorController.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

/// An Edit Shortcuts window over a store in the test's home, shown, with
/// helpers that find its controls as a person would: by their names.
class EditorFixture : public ::testing::Test {
 protected:
  void SetUp() override { pf::UserDefaults::resetAll(); }
  void TearDown() override {
    editor.reset();
    store.reset();
    pf::UserDefaults::resetAll();
  }

  /// A custom web shortcut "c<n>" labelled "Custom <n>".
  static Shortcut custom(int n, bool active = true) {
    return {QStringLiteral("c%1").arg(n),
            QStringLiteral("Custom %1").arg(n),
            ShortcutKind::web,
            QStringLiteral("https://example.com/%1").arg(n),
            QStringLiteral("Note"),
            std::nullopt,
            std::nullopt,
            active};
  }
  /// The stock YouTube shortcut.
  static Shortcut stock() {
    return {QStringLiteral("youtube"),
            QStringLiteral("YouTube"),
            ShortcutKind::web,
            QStringLiteral("https://www.youtube.com/"),
            QStringLiteral("Service homepage"),
            std::nullopt,
            std::nullopt,
            true};
  }

  /// Writes the catalog, opens a store over it and shows its editor.
  void open(const std::vector<Shortcut>& shortcuts) {
    const QString directory = pf::SystemInfo::applicationDataDirectory();
    ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, shortcuts, {}}; }, std::nullopt);
    store = std::make_unique<ShortcutStore>(pf::UserDefaults::standard(), directory);
    editor = std::make_unique<ShortcutEditorController>(*store);
    editor->present();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor->window()));
  }

  template <typename T>
  T* named(const QString& name) const {
    for (T* widget : editor->window()->findChildren<T*>())
      if (widget->accessibleName() == name || widget->objectName() == name) return widget;
    ADD_FAILURE() << "no control named " << name.toStdString();
    return nullptr;
  }
  EditorActionButton* button(const QString& name) const { return named<EditorActionButton>(name); }
  QListWidget* list(bool active) const {
    return named<QListWidget>(active ? QStringLiteral("Active") : QStringLiteral("Not Active"));
  }
  QString text(const QString& labelName) const { return named<QLabel>(labelName)->text(); }
  QString status() const { return text(QStringLiteral("status")); }
  QLineEdit* nameField() const { return named<QLineEdit>(QStringLiteral("Shortcut name")); }
  QLineEdit* destinationField() const { return named<QLineEdit>(QStringLiteral("Shortcut destination")); }

  /// The titles the list shows, top to bottom.
  QStringList rows(bool active) const {
    QStringList titles;
    QListWidget* shown = list(active);
    for (int row = 0; row < shown->count(); ++row)
      titles << static_cast<EditorShortcutCell*>(shown->itemWidget(shown->item(row)))->titleText();
    return titles;
  }

  void click(QWidget* widget) const { QTest::mouseClick(widget, Qt::LeftButton); }
  void press(const QString& buttonName) const { click(button(buttonName)); }
  void clickRow(bool active, int row) const {
    QListWidget* shown = list(active);
    QTest::mouseClick(shown->viewport(), Qt::LeftButton, {}, shown->visualItemRect(shown->item(row)).center());
  }
  /// Replaces the text of `field` by typing.
  static void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }
  /// The discard alert shown over the window, if any.
  pf::Alert* sheet() const { return qobject_cast<pf::Alert*>(editor->window()->attachedSheet()); }

  std::unique_ptr<ShortcutStore> store;
  std::unique_ptr<ShortcutEditorController> editor;
};
