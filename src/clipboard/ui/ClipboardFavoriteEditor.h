#pragma once

#include "clipboard/ClipboardFavorite.h"
#include "clipboard/ClipboardFavoriteList.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GlassWindow;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace pf {
class UserDefaults;
class Window;
}  // namespace pf

/// The small window in which one clipboard favorite is created or edited: a
/// name, its list and the exact text to copy. Save hands the checked favorite
/// to `onSave` and closes only when that succeeds; an error stays in the
/// window's status line with everything the user typed.
class ClipboardFavoriteEditor final : public QObject {
  Q_OBJECT

 public:
  /// Builds the hidden window for `item` (none: a new favorite, preselecting
  /// `defaultListID`), offering `lists` in their order.
  explicit ClipboardFavoriteEditor(std::optional<ClipboardFavorite> item,
                                   const std::vector<ClipboardFavoriteList>& lists = builtInLists(),
                                   const QString& defaultListID = ClipboardFavoriteList::othersID,
                                   pf::UserDefaults* defaults = nullptr);
  ~ClipboardFavoriteEditor() override;

  /// The favorite the fields describe, exactly as typed; throws `QuibError` when it is not valid.
  ClipboardFavorite value() const;
  /// Checks the favorite, hands it to `onSave` and closes; an error is shown instead.
  void save();
  /// Closes without saving.
  void cancel();
  /// Brings the window forward with the keyboard in the name field.
  void present();

  pf::Window* window() const;
  /// The id a saved favorite carries: the edited one's, or one drawn for a new favorite.
  const QString& draftID() const { return m_draftID; }
  QLineEdit* nameField() const { return m_nameField; }
  QPlainTextEdit* textView() const { return m_textView; }
  QComboBox* listPopup() const { return m_listPopup; }
  QLabel* status() const { return m_status; }

  /// Receives the favorite to save; an exception keeps the editor open and shows its sentence.
  std::function<void(const ClipboardFavorite&)> onSave;
  /// Told that the window is closing.
  std::function<void()> onClose;

  static std::vector<ClipboardFavoriteList> builtInLists();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow(bool editing);
  QString typedText() const;

  std::optional<ClipboardFavorite> m_original;
  QString m_draftID;
  QStringList m_listIDs;
  /// What the text view showed before any edit, to tell whether the user changed it.
  QString m_shownText;
  std::unique_ptr<GlassWindow> m_glass;
  QLineEdit* m_nameField = nullptr;
  QPlainTextEdit* m_textView = nullptr;
  QComboBox* m_listPopup = nullptr;
  QLabel* m_status = nullptr;
};
