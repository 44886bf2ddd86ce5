#pragma once

#include <QByteArray>
#include <QUrl>
#include <optional>

namespace pf {

/// File URLs and the paths they name, as bytes. A file name on this system is
/// bytes, not text: a name that is not UTF-8 travels through a URL as percent
/// escapes and comes back byte for byte here, where QUrl::toLocalFile would
/// turn its bytes into U+FFFD and name another file.
class FileURL final {
 public:
  FileURL() = delete;

  /// The absolute path a local file URL names, standardised: "." and ".."
  /// segments and repeated or trailing slashes removed. None for any other
  /// URL (another scheme, another host, a relative path).
  static std::optional<QByteArray> localPath(const QUrl& url);

  /// The file URL of an absolute path; localPath gives the path back.
  static QUrl fromLocalPath(const QByteArray& path);

  /// The last component of a standardised path.
  static QByteArray fileName(const QByteArray& path);
  /// The folder holding the item at a standardised path ("/" for the root's items).
  static QByteArray parentPath(const QByteArray& path);
  /// The path of the item `name` in `folder`.
  static QByteArray childPath(const QByteArray& folder, const QByteArray& name);
};

}  // namespace pf
