#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace pf {

/// What the desktop opens for the program: addresses in the user's default
/// programs and applications by their desktop entries. Logic holds this
/// interface; the desktop implementation lives with the windows.
class Workspace {
 public:
  /// Receives none when the application was launched, else the desktop's own
  /// error sentence.
  using LaunchCompletion = std::function<void(std::optional<QString> error)>;

  virtual ~Workspace() = default;

  /// Hands `url` to the default program for it (a web address to the browser,
  /// a folder to the file manager); false when no program could take it.
  virtual bool openURL(const QUrl& url) = 0;

  /// Launches the application whose desktop entry is the file at `url`.
  /// `completion` runs exactly once, on the main thread, after this returned.
  virtual void openApplication(const QUrl& url, LaunchCompletion completion) = 0;
};

}  // namespace pf
