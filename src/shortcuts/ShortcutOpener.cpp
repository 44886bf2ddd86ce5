#include "shortcuts/ShortcutOpener.h"

#include "platform/core/Workspace.h"
#include "shortcuts/ShortcutStore.h"

ShortcutOpener::ShortcutOpener(pf::Workspace& workspace)
    : webOpen([&workspace](const QUrl& url) { return workspace.openURL(url); }),
      folderOpen([&workspace](const QUrl& url) { return workspace.openURL(url); }),
      applicationOpen([&workspace](const QUrl& url, Completion completion) {
        workspace.openApplication(url, std::move(completion));
      }) {}

void ShortcutOpener::open(const Shortcut& shortcut, ShortcutStore& store,
                          const Completion& completion) const {
  QUrl url;
  try {
    url = store.resolvedURL(shortcut);
  } catch (const std::exception& error) {
    completion(QString::fromUtf8(error.what()));
    return;
  }
  switch (shortcut.kind) {
    case ShortcutKind::web:
      if (webOpen(url)) return completion(std::nullopt);
      return completion(QStringLiteral("Your browser could not open ") + shortcut.label +
                        QStringLiteral(". Check your default browser or change the URL in Settings."));
    case ShortcutKind::folder:
      if (folderOpen(url)) return completion(std::nullopt);
      return completion(QStringLiteral("The file manager could not open ") + shortcut.label +
                        QStringLiteral(". Reselect the folder in Edit Shortcuts."));
    case ShortcutKind::application:
      return applicationOpen(url, completion);
  }
}
