#pragma once

#include "platform/ui/OpenPanel.h"
#include "shortcuts/ShortcutDraft.h"
#include "shortcuts/ui/ShortcutEditorControls.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class GlassWindow;
class QListWidget;
class ShortcutStore;

namespace pf {
class Window;
}

/// The "Edit Shortcuts" window of one store: the Active and Not Active lists,
/// a detail card for the selected shortcut and the buttons that change a
/// draft of the catalog. Nothing reaches the catalog until Save, except
/// Activate, which saves at once. Errors go to the orange status line, never
/// to an alert. One controller per store, kept for the owner's life; its
/// window is reused by every `present()`.
class ShortcutEditorController final : public QObject {
  Q_OBJECT

 public:
  /// An open panel to show as a sheet of the editor window.
  using FileRequest = pf::OpenPanel::Request;
  using FileChosen = pf::OpenPanel::Chosen;

  /// An icon choice: the key a shortcut stores (none for automatic) and its title.
  using IconChoice = std::pair<std::optional<QString>, QString>;

  /// The 15 icon choices, in menu order.
  static const std::vector<IconChoice>& iconChoices();
  /// "Website", "Folder" or "Application".
  static QString kindName(ShortcutKind kind);

  /// Builds the window over a draft of the store's shortcuts, the first selected.
  explicit ShortcutEditorController(ShortcutStore& store);
  ~ShortcutEditorController() override;

  /// Shows the window; one that was not visible starts a fresh draft from the store.
  void present();

  /// Called whenever the window closes.
  std::function<void()> onClose;
  /// Called with the window at every `present()`, to place it.
  std::function<void(pf::Window*)> positionWindow;
  /// Shows an open panel and calls back with the chosen file only when one
  /// was chosen: `pf::OpenPanel` as a sheet of the window; replaceable.
  std::function<void(const FileRequest&, FileChosen)> openPanel;

  /// The editor window.
  ShortcutEditorWindow* window() const { return m_window; }
  /// The draft being edited.
  const ShortcutDraft& draft() const { return m_draft; }
  /// The index in the draft's items of the selected shortcut.
  std::optional<int> selectedIndex() const { return m_selectedIndex; }

  /// Imports the picture at `url` as the custom button of shortcut `id`. Throws.
  void selectImage(const QUrl& url, const QString& id);
  /// Sets the folder or application at `url` as the destination of shortcut `id`. Throws.
  void selectFile(const QUrl& url, const QString& id);

 private:
  void buildWindow();
  void connectControls();

  std::vector<int> indices(const QListWidget* list) const;
  QListWidget* listShowing(int index) const;
  void reload(std::optional<int> select);
  void fillList(QListWidget* list);
  void showFields();
  void showIcons(const Shortcut* item);
  void showEnabledStates(const Shortcut* item);
  void captureFields();
  void layoutDestination();
  void markSelection(QListWidget* list);
  const Shortcut* selectedItem() const;
  void setStatus(const QString& text);

  void selectionChanged(QListWidget* list);
  void textChanged();
  void addShortcut(int index);
  void add(ShortcutKind kind);
  void removeSelected();
  void activateSelected();
  void deleteSelected();
  void undoRemoval();
  void moveShortcutUp();
  void moveShortcutDown();
  void moveSelected(int offset);
  void changeIcon(int index);
  void chooseImage();
  void useDefaultImage();
  void chooseFile();
  void save();
  void cancel();
  bool windowShouldClose();
  void windowWillClose();
  using Select = void (ShortcutEditorController::*)(const QUrl&, const QString&);
  /// Opens the panel; a chosen file goes to `select` for shortcut `id`, its error to the status line.
  void askForFile(const FileRequest& request, Select select, const QString& id);

  ShortcutStore& m_store;
  ShortcutDraft m_draft;
  std::unique_ptr<GlassWindow> m_glass;
  QPointer<ShortcutEditorWindow> m_window;
  ShortcutEditorControls m_ui;
  std::optional<int> m_selectedIndex;
  bool m_loading = false;
  bool m_discardConfirmed = false;
  std::vector<IconChoice> m_icons;
};
