#pragma once

#include "clipboard/ClipboardFavorite.h"
#include "clipboard/ClipboardFavoriteList.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ClipboardFavoriteEditor;
class ClipboardFavoritesStore;
class ClipboardFavoriteTable;
class GlassWindow;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pf {
class Pasteboard;
class UserDefaults;
class Window;
}  // namespace pf

/// The "Clipboard" window of one companion: its saved favorites, filtered by
/// list and search text, each copied to the clipboard exactly as saved. It
/// opens the editor for new and changed favorites and manages the lists
/// through sheets. Every failure is shown as its sentence in the status line.
class ClipboardFavoritesController final : public QObject {
  Q_OBJECT

 public:
  /// Builds the hidden window over `store`; Copy writes to `pasteboard`, and
  /// window sizes are remembered in `defaults` when given.
  explicit ClipboardFavoritesController(std::unique_ptr<ClipboardFavoritesStore> store,
                                        pf::Pasteboard* pasteboard = nullptr, pf::UserDefaults* defaults = nullptr);
  ~ClipboardFavoritesController() override;

  /// Reads the file again and shows the window in front.
  void present();

  /// Told whether the window or its editor is on screen.
  std::function<void(bool)> onHold;
  /// Lets the owner place the Clipboard window before it is shown.
  std::function<void(pf::Window*)> positionWindow;

  void listChanged();
  /// The options pull-down's item at `index`: 1 new, 2 rename, 3 delete list.
  void listOption(int index);
  void filterChanged();
  void newFavorite();
  void editSelected();
  void deleteSelected();
  void copySelected();
  void newList();
  void deleteSelectedList();

  pf::Window* window() const;
  ClipboardFavoritesStore& store() const { return *m_store; }
  /// The last editor opened, if any.
  ClipboardFavoriteEditor* editor() const { return m_editor.get(); }
  /// The favorites the table shows, in stored order.
  const std::vector<ClipboardFavorite>& rows() const;
  /// The favorite of the table's selected row.
  std::optional<ClipboardFavorite> selected() const;
  /// The chosen list's id; none for "All".
  const std::optional<QString>& selectedListID() const { return m_selectedListID; }

 private:
  void buildWindow();
  void buildControls(QWidget* content);
  void refresh(const std::optional<QString>& selectID);
  void selectionChanged();
  void updateHold();
  std::optional<ClipboardFavoriteList> selectedList() const;
  void selectList(const std::optional<QString>& listID);
  ClipboardFavoriteList createList(const QString& name);
  void promptForListName(const std::optional<ClipboardFavoriteList>& list);
  void renameList(const ClipboardFavoriteList& list, const QString& name);
  void edit(const std::optional<ClipboardFavorite>& favorite);
  void saveFromEditor(const ClipboardFavorite& favorite, const std::optional<ClipboardFavorite>& expected);
  void showError(const std::exception& error);
  QString statusText() const;

  std::unique_ptr<ClipboardFavoritesStore> m_store;
  pf::Pasteboard& m_pasteboard;
  pf::UserDefaults* m_windowDefaults = nullptr;
  std::unique_ptr<GlassWindow> m_glass;
  ClipboardFavoriteTable* m_table = nullptr;
  QLineEdit* m_search = nullptr;
  QComboBox* m_listPopup = nullptr;
  QPushButton* m_listOptions = nullptr;
  QAction* m_newListItem = nullptr;
  QAction* m_renameListItem = nullptr;
  QAction* m_deleteListItem = nullptr;
  std::optional<QString> m_selectedListID;
  QPushButton* m_newButton = nullptr;
  QPushButton* m_copyButton = nullptr;
  QPushButton* m_editButton = nullptr;
  QPushButton* m_deleteButton = nullptr;
  QLabel* m_status = nullptr;
  std::unique_ptr<ClipboardFavoriteEditor> m_editor;
};
