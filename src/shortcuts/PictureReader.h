#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

/// The first picture of an image file held in memory, read for a small copy
/// without holding the whole picture where the format allows: PNG row by row,
/// JPEG and WebP through their scaled decoders, HEIC (through libheif) from
/// its stored thumbnail when that is large enough. Interlaced PNG, animated
/// WebP, GIF and TIFF are decoded whole, within the caller's size limits.
class PictureReader final {
 public:
  /// `format` is the kind the bytes were found to be: "png", "jpeg", "gif",
  /// "tiff", "webp" or "heic"; PNG chunks must fit in the bytes, as libpng
  /// allocates each whole before it reads it. The bytes must outlive the reader.
  PictureReader(const QByteArray& bytes, QByteArray format);

  /// The size the file declares, read from its header alone; invalid when the
  /// header cannot be read.
  QSize size() const;

  /// The picture with its stored orientation applied, reduced so that its
  /// longer side is at most `maximumEdge` (never enlarged); null when it
  /// cannot be decoded.
  QImage thumbnail(int maximumEdge) const;

  /// `size` reduced so that its longer side is at most `maximumEdge`, keeping
  /// its shape; a smaller size is kept.
  static QSize fitting(QSize size, int maximumEdge);

 private:
  QImage decodedByQt(int maximumEdge) const;

  const QByteArray& m_bytes;
  QByteArray m_format;
};
