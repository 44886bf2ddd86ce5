#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace desk {

/// A person's home for one test, inside the test's temporary home: HOME and
/// every XDG folder (configuration, data, cache, state, runtime and the user
/// folders) point into it. Stand-in handlers, registered as the defaults for
/// web addresses and folders, write down what they are asked to open instead
/// of starting a browser or a file manager; one more stands in for an
/// installed application.
class DesktopHome final {
 public:
  /// The stand-in application's name, as a person sees it listed.
  static inline const QString applicationName = QStringLiteral("Stand-in Notes");

  /// Builds the home in `root`, with the stand-in handlers.
  explicit DesktopHome(QString root);

  const QString& root() const { return m_root; }
  /// `relative` inside the home.
  QString path(const QString& relative) const { return m_root + u'/' + relative; }
  /// The stand-in application's desktop entry.
  QString applicationEntry() const;
  /// Unregisters the web and folder handlers: nothing on this desktop opens those any more.
  void removeHandlers();
  /// What the stand-ins were asked to open so far, one "<handler> <argument>" a line
  /// ("browser <address>", "files <folder's path>", "notes").
  QStringList opened() const;

  /// The environment the program runs in on `display`.
  QProcessEnvironment environment(const QString& display) const;

 private:
  void writeHandler(const QString& name, const QString& role, const QString& mimeTypes) const;

  QString m_root;
};

}  // namespace desk
