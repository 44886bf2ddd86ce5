#pragma once

#include <QString>

namespace pf {

/// Where the program and the user's files are. Reading any of these creates
/// nothing on disk.
class SystemInfo final {
 public:
  SystemInfo() = delete;

  /// The identifier that names this application to the system (log ident,
  /// defaults suites, store identifiers).
  static QString bundleIdentifier() { return QStringLiteral("org.wendle.Wendle"); }

  /// The user's home folder.
  static QString homeDirectory();

  /// The application-data folder: "Library/Application Support/Quib Bot" under
  /// the home folder, named so that paths and files brought from the original
  /// platform stay valid.
  static QString applicationDataDirectory();
  /// The user's download folder as the desktop names it (its user-dirs
  /// setting, which may be localised), else "~/Downloads".
  static QString downloadsDirectory();

  /// The folder the artwork is loaded from: "Assets" beside the installed
  /// executable (`<dir>/Assets`, then `<dir>/../share/wendle/Assets`), else
  /// "Assets" in the working folder.
  static QString assetRoot();

  /// The same rule for a given executable folder and working folder; an empty
  /// executable folder skips the installed places.
  static QString assetRoot(const QString& applicationDir, const QString& workingDir);
};

}  // namespace pf
