#include "shortcuts/ShortcutImageStore.h"

#include "platform/core/AtomicWriter.h"
#include "platform/core/FileError.h"
#include "platform/core/Files.h"
#include "shortcuts/PictureReader.h"
#include "values/QuibError.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr qint64 cacheCountLimit = 128;
constexpr qint64 cacheCostLimit = 33554432;
constexpr double maximumSide = 20000;
constexpr double maximumPixels = 100000000;

const QString referencePrefix = QStringLiteral("custom-");

QuibError notAFile() { return QuibError(QStringLiteral("Choose an image file on this computer.")); }
QuibError wrongKind() { return QuibError(QStringLiteral("Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image.")); }
QuibError tooBig() { return QuibError(QStringLiteral("Choose an image smaller than 25 MB.")); }
QuibError unreadable() {
  return QuibError(
      QStringLiteral("That image cannot be read or is too large. Choose a PNG, JPEG, HEIC, "
                     "TIFF, GIF or WebP image up to 100 megapixels."));
}
QuibError undecodable() { return QuibError(QStringLiteral("That image could not be decoded. Try another image.")); }
QuibError notPrepared() { return QuibError(QStringLiteral("The local image copy could not be prepared.")); }
QuibError invalidImage() {
  return QuibError(QStringLiteral("The selected button image is invalid. Choose the image again."));
}

/// False when a chunk declares more bytes than the PNG has left: libpng
/// allocates a metadata chunk whole (up to 2 GB) before it reads a byte of it,
/// both before the pixels and after them. A PNG cut inside a chunk is refused alike.
bool pngChunksFit(const QByteArray& bytes) {
  constexpr qsizetype signature = 8;
  constexpr qsizetype header = 8;    // length and type: all libpng needs before it allocates
  constexpr qsizetype framing = 12;  // header and checksum around a chunk's data
  for (qsizetype at = signature; at + header <= bytes.size();) {
    const auto* chunk = reinterpret_cast<const uchar*>(bytes.constData() + at);
    const quint64 length = qFromBigEndian<quint32>(chunk);
    if (std::memcmp(chunk + 4, "IEND", 4) == 0) return true;
    if (length + framing > quint64(bytes.size() - at)) return false;
    at += framing + qsizetype(length);
  }
  return true;
}

/// The allowed picture kind that `bytes` begin with, as Qt's format name, or
/// empty. Decided by the content alone, never by a file name. A PNG whose
/// chunks libpng could not read without a huge allocation counts as none.
QByteArray sniffFormat(const QByteArray& bytes) {
  if (bytes.startsWith("\x89PNG\r\n\x1a\n")) return pngChunksFit(bytes) ? "png" : QByteArray();
  if (bytes.startsWith("\xff\xd8\xff")) return "jpeg";
  if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) return "gif";
  if (bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4))) return "tiff";
  if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP") return "webp";
  static const QByteArrayList heicBrands{"heic", "heix", "heim", "heis", "hevc", "hevx"};
  if (bytes.mid(4, 4) == "ftyp" && heicBrands.contains(bytes.mid(8, 4))) return "heic";
  return {};
}

/// The bytes of a picture file, checked for its kind and size before any is read.
QByteArray readPictureFile(const QString& path) {
  const auto opened = pf::Files::openForReading(path);
  if (!opened) throw pf::FileError::failed(ENOENT, QStringLiteral("open"), path);
  if (!S_ISREG(opened->status.st_mode)) throw wrongKind();
  const qint64 size = opened->status.st_size;
  if (size < 1 || size > ShortcutImageStore::maximumInputBytes) throw tooBig();
  // The file may grow after the check; one byte past the limit shows it did.
  return opened->file.readAll(path, ShortcutImageStore::maximumInputBytes + 1);
}

/// A stored picture's bytes; none when it is missing, no regular file, too
/// large or unreadable.
std::optional<QByteArray> readStoredFile(const QString& path) {
  try {
    const auto opened = pf::Files::openForReading(path);
    if (!opened || !S_ISREG(opened->status.st_mode) || opened->status.st_size > ShortcutImageStore::maximumStoredBytes)
      return std::nullopt;
    return opened->file.readAll(path, ShortcutImageStore::maximumStoredBytes + 1);
  } catch (const pf::FileError&) {
    return std::nullopt;
  }
}

/// The same pixels without the source's text chunks (camera data, places).
QImage withoutMetadata(const QImage& image) {
  const QImage view(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());
  QImage clean = view.copy();
  clean.setColorTable(image.colorTable());
  clean.setColorSpace(image.colorSpace());
  return clean;
}

/// The picture's first image with its orientation applied, longer side at most 256.
QImage thumbnail(const QByteArray& bytes, const QByteArray& format) {
  const PictureReader reader(bytes, format);
  const QSize declared = reader.size();
  const double width = declared.width(), height = declared.height();
  if (!declared.isValid() || width <= 0 || height <= 0 || width > maximumSide || height > maximumSide ||
      width * height > maximumPixels)
    throw unreadable();
  const QImage image = reader.thumbnail(ShortcutImageStore::maximumEdge);
  if (image.isNull()) throw undecodable();
  return withoutMetadata(image);
}

QByteArray encodePNG(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly)) throw notPrepared();
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) throw notPrepared();
  return png;
}

}  // namespace

const QStringList& ShortcutImageStore::allowedTypes() {
  static const QStringList types{QStringLiteral("image/png"),  QStringLiteral("image/jpeg"),
                                 QStringLiteral("image/heic"), QStringLiteral("image/tiff"),
                                 QStringLiteral("image/gif"),  QStringLiteral("image/webp")};
  return types;
}

std::optional<QString> ShortcutImageStore::digest(const QString& reference) {
  if (reference.size() != referencePrefix.size() + 64 || !reference.startsWith(referencePrefix)) return std::nullopt;
  const QString digits = reference.mid(referencePrefix.size());
  for (QChar c : digits)
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return std::nullopt;
  return digits;
}

QString ShortcutImageStore::reference(const QByteArray& png) {
  return referencePrefix + QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex());
}

ShortcutImageStore::Imported ShortcutImageStore::importImage(const QUrl& url) {
  if (!url.isLocalFile()) throw notAFile();
  const QByteArray bytes = readPictureFile(url.toLocalFile());
  if (bytes.isEmpty() || bytes.size() > maximumInputBytes) throw unreadable();
  const QByteArray format = sniffFormat(bytes);
  if (format.isEmpty()) throw unreadable();
  const QByteArray png = encodePNG(thumbnail(bytes, format));
  Imported imported{reference(png), png};
  validate(imported.png, imported.reference);
  return imported;
}

void ShortcutImageStore::validate(const QByteArray& png, const QString& reference) {
  if (!digest(reference) || png.size() > maximumStoredBytes || ShortcutImageStore::reference(png) != reference ||
      sniffFormat(png) != "png")
    throw invalidImage();
  QBuffer buffer;
  buffer.setData(png);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  reader.setAutoDetectImageFormat(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.width() < 1 || size.height() < 1 || size.width() > maximumEdge ||
      size.height() > maximumEdge)
    throw invalidImage();
  if (reader.read().isNull()) throw invalidImage();
}

ShortcutImageStore::ShortcutImageStore(const QString& catalogDirectory)
    : m_directory(catalogDirectory + QStringLiteral("/ShortcutImages")) {}

QString ShortcutImageStore::path(const QString& digest) const {
  return m_directory + u'/' + digest + QStringLiteral(".png");
}

std::optional<QUrl> ShortcutImageStore::url(const QString& reference) const {
  const auto digits = digest(reference);
  if (!digits) return std::nullopt;
  return QUrl::fromLocalFile(path(*digits));
}

bool ShortcutImageStore::contains(const QString& reference) const { return read(reference).has_value(); }

std::optional<QByteArray> ShortcutImageStore::read(const QString& reference) const {
  const auto digits = digest(reference);
  if (!digits) return std::nullopt;
  auto bytes = readStoredFile(path(*digits));
  if (!bytes) return std::nullopt;
  try {
    validate(*bytes, reference);
  } catch (const QuibError&) {
    return std::nullopt;
  }
  return bytes;
}

QImage ShortcutImageStore::image(const QString& reference, const PendingImages& pending) const {
  if (!digest(reference)) return {};
  if (const auto it = pending.find(reference); it != pending.end()) {
    try {
      validate(it->second, reference);
    } catch (const QuibError&) {
      return {};
    }
    return QImage::fromData(it->second, "png");
  }
  if (QImage cached = m_cache.find(reference); !cached.isNull()) return cached;
  const auto bytes = read(reference);
  if (!bytes) return {};
  QImage image = QImage::fromData(*bytes, "png");
  if (!image.isNull()) m_cache.insert(reference, image);
  return image;
}

void ShortcutImageStore::persist(const PendingImages& pending) {
  for (const auto& [reference, png] : pending) validate(png, reference);
  bool swept = false;
  for (const auto& [reference, png] : pending) {
    if (read(reference) == png) continue;
    // A picture is written once under a name of its own, so no later write
    // to that name would find what a cut-off save of it left.
    if (!std::exchange(swept, true)) pf::AtomicWriter::removeAbandonedIn(m_directory);
    pf::AtomicWriter::write(path(*digest(reference)), png);
    m_cache.remove(reference);
  }
}

QImage ShortcutImageStore::Cache::find(const QString& reference) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->reference != reference) continue;
    m_entries.splice(m_entries.begin(), m_entries, it);
    return m_entries.front().image;
  }
  return {};
}

void ShortcutImageStore::Cache::insert(const QString& reference, const QImage& image) {
  remove(reference);
  const qint64 cost = qint64(image.width()) * image.height() * 4;
  m_entries.push_front({reference, image, cost});
  m_totalCost += cost;
  while (!m_entries.empty() && (qint64(m_entries.size()) > cacheCountLimit || m_totalCost > cacheCostLimit)) {
    m_totalCost -= m_entries.back().cost;
    m_entries.pop_back();
  }
}

void ShortcutImageStore::Cache::remove(const QString& reference) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->reference != reference) continue;
    m_totalCost -= it->cost;
    m_entries.erase(it);
    return;
  }
}
