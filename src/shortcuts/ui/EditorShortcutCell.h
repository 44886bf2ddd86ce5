#pragma once

#include "look/ui/QuibCardRow.h"
#include "shortcuts/ShortcutImageStore.h"

class EditorImageView;
class QLabel;
class ShortcutStore;
struct Shortcut;

/// One row of the editor's lists: the shortcut's icon, its label ("Untitled"
/// when empty) and its kind with Stock or Custom, on the theme's card row.
class EditorShortcutCell final : public QuibCardRow {
  Q_OBJECT

 public:
  EditorShortcutCell(const Shortcut& item, const ShortcutStore& store, const PendingImages& pending,
                     QWidget* parent = nullptr);

  /// The row's whole title, before it is shortened to fit.
  const QString& titleText() const { return m_fullTitle; }
  QLabel* title() const { return m_title; }
  QLabel* subtitle() const { return m_subtitle; }
  EditorImageView* icon() const { return m_icon; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  EditorImageView* m_icon = nullptr;
  QLabel* m_title = nullptr;
  QLabel* m_subtitle = nullptr;
  QString m_fullTitle;
};
