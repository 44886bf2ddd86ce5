#pragma once

#include "clipboard/ClipboardFavorite.h"
#include "clipboard/ClipboardFavoriteList.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace pf {
class JsonDocument;
}  // namespace pf

/// The contents of "clipboard-favorites.json": lists in the order the user
/// sees them and favorites in stored order. Files of versions 1 to 3 are
/// read into the current version; only the current version is written.
struct ClipboardFavoritesFile {
  /// The version this program writes, and the one every read file carries.
  static constexpr qint64 currentVersion = 4;

  /// The largest file read or written: 10,000 favorites of 1 KB take 12.5 MB,
  /// and 200 at the longest text (100,000 characters of up to three bytes)
  /// 60 MB; a file past this is damaged or not a favorites file, and reading
  /// it would take seconds and gigabytes.
  static constexpr qint64 largestFileBytes = 64 * 1024 * 1024;
  /// Why a change is refused whose file would pass `largestFileBytes`.
  static QString tooLargeToSave();

  qint64 version = currentVersion;
  std::vector<ClipboardFavoriteList> lists;
  std::vector<ClipboardFavorite> items;

  /// The file of a first start: the built-in lists and no favorites.
  static ClipboardFavoritesFile empty();

  /// Reads a file of version 1 to 4 without validating it; the result is of
  /// the current version, and `storedVersion`, when given, receives the
  /// version the bytes declare. Throws `QuibError` for bytes past
  /// `largestFileBytes`, an unsupported version or older built-in lists that
  /// do not hold, `pf::JsonError` for anything that is not JSON of the
  /// expected shape.
  /// A file of the current version as this program writes it is read
  /// straight into its values; anything else is left to `decodeStrictly`.
  static ClipboardFavoritesFile decode(const QByteArray& bytes, qint64* storedVersion = nullptr);
  /// The same through the strict readers alone: slower, and the judge of
  /// every refusal and of whatever the quick reading is unsure of.
  static ClipboardFavoritesFile decodeStrictly(const QByteArray& bytes, qint64* storedVersion = nullptr);
  /// The file read straight from a document, as `decode` reads a file of the
  /// current version; throws `pf::JsonUnsure` on anything else.
  static ClipboardFavoritesFile fromJson(pf::JsonDocument& document);
  /// `decode` and then `validate`, with the same result and the same
  /// refusals. A file of the current version as this program writes it is
  /// checked while it is read, each favorite while its texts are still in the
  /// cache; a file that does not pass is read and validated again the long
  /// way, which words the refusal.
  static ClipboardFavoritesFile decodeValidated(const QByteArray& bytes, qint64* storedVersion = nullptr);

  /// Pretty-printed with sorted keys; always the current version.
  QByteArray encoded() const;

  /// Throws `QuibError` for the first rule the whole file breaks: version,
  /// unique ids and list names, the "Others" list, each list, each favorite,
  /// and every favorite's list existing.
  void validate() const;

  /// The name under which the raw bytes of a file of an older stored version
  /// are kept before its first rewrite ("clipboard-favorites.v1-backup.json"
  /// and so on); nothing for the current version.
  static std::optional<QString> backupName(qint64 storedVersion);

  bool operator==(const ClipboardFavoritesFile&) const = default;
};
