#pragma once

#include "shortcuts/Shortcut.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace pf {
class Workspace;
}
class ShortcutStore;

/// Opens a shortcut: the store finds its address (a checked web address, or
/// the folder or application on disk, followed through its bookmark), then
/// the workspace opens it. Every failure reaches the caller as one finished
/// sentence that names the shortcut and says what to do.
class ShortcutOpener final {
 public:
  /// Receives none on success, else the sentence to show the user.
  using Completion = std::function<void(std::optional<QString> error)>;

  /// An opener whose operations go to `workspace`, which must outlive it.
  explicit ShortcutOpener(pf::Workspace& workspace);

  /// Hands a web address to the default browser; true when it was handed over.
  std::function<bool(const QUrl&)> webOpen;
  /// Shows a folder in the file manager; true when it was handed over.
  std::function<bool(const QUrl&)> folderOpen;
  /// Launches the application at the URL; calls the completion later, on the
  /// main thread, with the workspace's own error or none.
  std::function<void(const QUrl&, Completion)> applicationOpen;

  /// Resolves `shortcut` through `store` and opens it. `completion` runs
  /// exactly once: before this returns for websites, folders and every
  /// failure to resolve, after it returned for applications.
  void open(const Shortcut& shortcut, ShortcutStore& store, const Completion& completion) const;
};
