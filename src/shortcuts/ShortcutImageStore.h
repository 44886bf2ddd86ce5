#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <list>
#include <map>
#include <optional>

/// Pictures chosen in an unsaved editing draft: image reference to PNG bytes.
using PendingImages = std::map<QString, QByteArray>;

/// The custom button images of one catalog folder. A picture is stored as a
/// small PNG named by the SHA-256 digest of its bytes in the "ShortcutImages"
/// folder; a shortcut refers to it by "custom-" followed by that digest.
class ShortcutImageStore final {
 public:
  /// Largest picture file accepted for import (25 MiB).
  static constexpr qint64 maximumInputBytes = 26214400;
  /// Largest stored PNG (1 MiB).
  static constexpr qint64 maximumStoredBytes = 1048576;
  /// Largest width or height of a stored PNG, in pixels.
  static constexpr int maximumEdge = 256;

  /// The kinds of picture an import reads, as the MIME types an open panel
  /// filters by: PNG, JPEG, HEIC, TIFF, GIF and WebP, in that order.
  static const QStringList& allowedTypes();

  /// A converted picture: its reference and its PNG bytes.
  struct Imported {
    QString reference;
    QByteArray png;
  };

  /// The 64 digits of a well-formed image reference, or none.
  static std::optional<QString> digest(const QString& reference);

  /// "custom-" followed by the lower-case hex SHA-256 digest of `png`.
  static QString reference(const QByteArray& png);

  /// Checks a picture file by its content and converts it to a PNG of at most
  /// 256 pixels a side. Throws `QuibError` with the sentence to show, or the
  /// file system's error. Nothing is written and the cache is not touched.
  static Imported importImage(const QUrl& url);

  /// Checks that `png` is a stored image matching `reference`; throws `QuibError`.
  static void validate(const QByteArray& png, const QString& reference);

  /// A store over `catalogDirectory`/ShortcutImages; nothing is touched on disk.
  explicit ShortcutImageStore(const QString& catalogDirectory);

  /// The "ShortcutImages" folder.
  const QString& directory() const { return m_directory; }

  /// The file URL of a well-formed reference (whether or not the file exists), or none.
  std::optional<QUrl> url(const QString& reference) const;

  /// True when a valid stored file exists for `reference`.
  bool contains(const QString& reference) const;

  /// The picture for `reference`: from `pending` first, else from the cache or
  /// the disk; a null image when there is none or it is not valid.
  QImage image(const QString& reference, const PendingImages& pending = {}) const;

  /// Writes the pending pictures that are not stored yet. Every entry is
  /// validated before anything is written; throws on the first failure.
  void persist(const PendingImages& pending);

 private:
  /// Least recently used pictures, limited by count and by pixel bytes.
  class Cache final {
   public:
    QImage find(const QString& reference);
    void insert(const QString& reference, const QImage& image);
    void remove(const QString& reference);

   private:
    struct Entry {
      QString reference;
      QImage image;
      qint64 cost = 0;
    };
    std::list<Entry> m_entries;  // most recently used first
    qint64 m_totalCost = 0;
  };

  std::optional<QByteArray> read(const QString& reference) const;
  QString path(const QString& digest) const;

  QString m_directory;
  mutable Cache m_cache;
};
