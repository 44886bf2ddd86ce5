#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QDialog;

namespace pf {

class Window;

/// The panels in which a person chooses a file, a folder or an installed
/// application, shown as sheets: modal to their window only and recorded as
/// its sheet. Each opens with its name field focused, so a path can always
/// be typed and taken with Return. Files and folders are chosen in Qt's own
/// file dialog (never the desktop's, whose portal may be missing); an
/// application by name and icon in an `ApplicationPanel`.
class OpenPanel final {
 public:
  /// What the panel chooses.
  enum class Choice { file, folder, application };

  /// What to show.
  struct Request {
    QString title;
    /// The title of the button that chooses.
    QString prompt;
    /// Where a file or folder panel opens (its nearest existing folder).
    QString directory;
    /// The name filters of a file panel ("Title (*.a *.b)"), none for any file.
    QStringList nameFilters;
    Choice choice = Choice::file;
  };
  /// Called with the chosen file, folder or desktop entry.
  using Chosen = std::function<void(const QUrl&)>;

  OpenPanel() = delete;

  /// Shows the panel as a sheet of `window` and calls `chosen` when, and only
  /// when, something was chosen. The panel deletes itself once it closes.
  static QDialog* begin(Window* window, const Request& request, Chosen chosen);

  /// `directory` when it is a folder, else its nearest ancestor that is one.
  /// A file dialog opened on a missing folder would type its last name into
  /// the name field, and a path typed there would be taken inside it.
  static QString existingFolder(const QString& directory);

  /// One name filter "`title` (patterns)" listing every file-name pattern of
  /// `mimeTypes`, in both cases, since the file dialog matches case exactly.
  static QString nameFilter(const QString& title, const QStringList& mimeTypes);
};

}  // namespace pf
