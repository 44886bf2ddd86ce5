#pragma once

#include "filedrop/FileDropOperation.h"
#include "filedrop/FileDropResult.h"
#include "shortcuts/Shortcut.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class GlassWindow;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class ShortcutStore;

namespace pf {
class Window;
}

/// The "Move or Copy Files" window of one companion: lists the dropped items,
/// offers the companion's active saved folders, copies or moves the items on a
/// background thread and shows each item's outcome in the same window.
class FileDropController final : public QObject {
  Q_OBJECT

 public:
  /// Runs a transfer and hands its results to the completion, which may be
  /// called from any thread.
  using Execute = std::function<void(const QList<QUrl>& sources, const QUrl& folder, FileDropOperation operation,
                                     std::function<void(std::vector<FileDropResult>)> completion)>;

  /// Builds the window, hidden and empty.
  explicit FileDropController(std::shared_ptr<ShortcutStore> store);
  ~FileDropController() override;

  /// Takes dropped URLs: true when the window took them. Refused while busy
  /// and when none of them is a local file.
  bool present(const QList<QUrl>& urls);

  /// A transfer is running: drops and quitting are refused meanwhile.
  bool isBusy() const { return m_isBusy; }
  /// The current batch has been transferred and the window shows its results.
  bool isFinished() const { return m_isFinished; }
  /// The current batch; empty when none is open.
  const QList<QUrl>& sources() const { return m_sources; }
  pf::Window* window() const;

  void folderChanged();
  void copyFiles() { begin(FileDropOperation::copy); }
  void moveFiles() { begin(FileDropOperation::move); }
  void cancel();
  void editFolders();

  /// True whenever a drop is accepted, false when the window closes while idle.
  std::function<void(bool)> onHold;
  /// Lets the owner place the window before it is shown.
  std::function<void(pf::Window*)> positionWindow;
  /// The user asked to edit the saved folders.
  std::function<void()> onEditFolders;
  /// Runs a transfer; by default on the global thread pool.
  Execute execute;

 private:
  void buildWindow();
  void updateControls();
  void begin(FileDropOperation operation);
  void finish(FileDropOperation operation, const std::vector<FileDropResult>& results);
  void windowWillClose();

  std::shared_ptr<ShortcutStore> m_store;
  QList<QUrl> m_sources;
  bool m_isBusy = false;
  bool m_isFinished = false;
  std::vector<Shortcut> m_folders;
  std::unique_ptr<GlassWindow> m_glass;
  QLabel* m_summary = nullptr;
  QComboBox* m_folderPopup = nullptr;
  QLabel* m_folderPath = nullptr;
  QLabel* m_status = nullptr;
  QPlainTextEdit* m_fileList = nullptr;
  QPushButton* m_copyButton = nullptr;
  QPushButton* m_moveButton = nullptr;
  QPushButton* m_cancelButton = nullptr;
  QPushButton* m_editButton = nullptr;
};
