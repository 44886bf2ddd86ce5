#include "shortcuts/PictureReader.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <optional>
#include <png.h>
#include <vector>
#include <webp/decode.h>

namespace {

/// `image` at `size`. A huge picture is first reduced by sampling, so the
/// smooth pass never has to convert all of its pixels.
QImage shrink(const QImage& image, QSize size) {
  if (image.size() == size) return image;
  QImage reduced = image;
  if (image.width() > 4 * size.width() && image.height() > 4 * size.height())
    reduced = image.scaled(size * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return reduced.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// --- PNG, one row at a time -------------------------------------------------

struct PngInput {
  const QByteArray& bytes;
  qsizetype offset = 0;
};

void readPngBytes(png_structp png, png_bytep into, png_size_t count) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (count > png_size_t(input->bytes.size() - input->offset)) png_error(png, "truncated");
  std::memcpy(into, input->bytes.constData() + input->offset, count);
  input->offset += qsizetype(count);
}

void ignorePngWarning(png_structp, png_const_charp) {}
void failPng(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }

/// Box-filters source rows into a smaller premultiplied RGBA picture as they
/// arrive, so only one source row is held at a time.
class RowReducer final {
 public:
  RowReducer(QSize source, QSize target)
      : m_source(source),
        m_image(target, QImage::Format_RGBA8888_Premultiplied),
        m_sums(std::size_t(target.width()) * 5, 0),
        m_columns(std::size_t(source.width())) {
    for (int x = 0; x < source.width(); ++x)
      m_columns[std::size_t(x)] = std::size_t(qint64(x) * target.width() / source.width()) * 5;
  }

  void add(const png_byte* rgba, int y) {
    const int row = int(qint64(y) * m_image.height() / m_source.height());
    if (row != m_row) flush();
    m_row = row;
    for (int x = 0; x < m_source.width(); ++x) {
      const png_byte* pixel = rgba + 4 * x;
      quint64* sum = &m_sums[m_columns[std::size_t(x)]];
      const quint64 alpha = pixel[3];
      sum[0] += pixel[0] * alpha;
      sum[1] += pixel[1] * alpha;
      sum[2] += pixel[2] * alpha;
      sum[3] += alpha * 255;
      sum[4] += 255;
    }
  }

  QImage finish() {
    flush();
    return m_image;
  }

 private:
  void flush() {
    if (m_row < 0) return;
    uchar* out = m_image.scanLine(m_row);
    for (int x = 0; x < m_image.width(); ++x) {
      quint64* sum = &m_sums[std::size_t(x) * 5];
      const quint64 count = sum[4];
      for (int channel = 0; channel < 4; ++channel)
        out[4 * x + channel] = count ? uchar((sum[channel] + count / 2) / count) : 0;
      std::fill(sum, sum + 5, 0);
    }
    m_row = -1;
  }

  QSize m_source;
  QImage m_image;
  /// Red, green, blue and alpha sums and the weight of each target column.
  std::vector<quint64> m_sums;
  /// Where each source column's sums start.
  std::vector<std::size_t> m_columns;
  int m_row = -1;
};

/// What libpng needs across its error jumps, kept outside the jumping frame.
struct PngReading {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::optional<RowReducer> reducer;
  std::vector<png_byte> row;
  QByteArray iccProfile;

  ~PngReading() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

/// A non-interlaced PNG reduced row by row; none for an interlaced one (its
/// rows arrive in passes over the whole picture); a null image on failure.
std::optional<QImage> pngThumbnail(const QByteArray& bytes, int maximumEdge) {
  PngInput input{bytes};
  PngReading reading;
  reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failPng, ignorePngWarning);
  if (!reading.png) return QImage();
  reading.info = png_create_info_struct(reading.png);
  if (!reading.info) return QImage();
  if (setjmp(png_jmpbuf(reading.png))) return QImage();
  png_set_read_fn(reading.png, &input, readPngBytes);
  png_read_info(reading.png, reading.info);
  if (png_get_interlace_type(reading.png, reading.info) != PNG_INTERLACE_NONE) return std::nullopt;
  const QSize source(int(png_get_image_width(reading.png, reading.info)),
                     int(png_get_image_height(reading.png, reading.info)));
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profileLength = 0;
  if (png_get_iCCP(reading.png, reading.info, &name, &compression, &profile, &profileLength))
    reading.iccProfile = QByteArray(reinterpret_cast<const char*>(profile), int(profileLength));
  // Every kind of PNG arrives as 8-bit RGBA.
  png_set_expand(reading.png);
  png_set_strip_16(reading.png);
  png_set_gray_to_rgb(reading.png);
  png_set_filler(reading.png, 0xff, PNG_FILLER_AFTER);
  png_read_update_info(reading.png, reading.info);
  if (png_get_rowbytes(reading.png, reading.info) != png_size_t(source.width()) * 4) return QImage();
  reading.row.resize(std::size_t(source.width()) * 4);
  reading.reducer.emplace(source, PictureReader::fitting(source, maximumEdge));
  for (int y = 0; y < source.height(); ++y) {
    png_read_row(reading.png, reading.row.data(), nullptr);
    reading.reducer->add(reading.row.data(), y);
  }
  QImage image = reading.reducer->finish();
  if (!reading.iccProfile.isEmpty()) image.setColorSpace(QColorSpace::fromIccProfile(reading.iccProfile));
  return image;
}

// --- WebP, through its scaled decoder ---------------------------------------

/// A still WebP decoded at the reduced size; none for an animated one; a null
/// image on failure.
std::optional<QImage> webpThumbnail(const QByteArray& bytes, int maximumEdge) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return QImage();
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
  if (WebPGetFeatures(data, std::size_t(bytes.size()), &config.input) != VP8_STATUS_OK) return QImage();
  if (config.input.has_animation) return std::nullopt;
  const QSize source(config.input.width, config.input.height);
  const QSize target = PictureReader::fitting(source, maximumEdge);
  QImage image(target, QImage::Format_RGBA8888_Premultiplied);
  if (image.isNull()) return QImage();
  config.options.use_scaling = target != source;
  config.options.scaled_width = target.width();
  config.options.scaled_height = target.height();
  config.output.colorspace = MODE_rgbA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = image.bits();
  config.output.u.RGBA.stride = int(image.bytesPerLine());
  config.output.u.RGBA.size = std::size_t(image.sizeInBytes());
  const bool decoded = WebPDecode(data, std::size_t(bytes.size()), &config) == VP8_STATUS_OK;
  WebPFreeDecBuffer(&config.output);
  return decoded ? image : QImage();
}

// --- HEIC, through libheif --------------------------------------------------

struct HeifDeleter {
  void operator()(heif_context* context) const { heif_context_free(context); }
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
  void operator()(heif_image* image) const { heif_image_release(image); }
};
template <typename T>
using HeifPointer = std::unique_ptr<T, HeifDeleter>;

/// How far a coded picture or tile may reach past the declared size: the
/// largest tile phones write.
constexpr int heifTileSlack = 512;

/// The file's primary picture, or null.
struct HeifPicture {
  HeifPointer<heif_context> context;
  HeifPointer<heif_image_handle> primary;

  explicit HeifPicture(const QByteArray& bytes) : context(heif_context_alloc()) {
    heif_image_handle* handle = nullptr;
    if (!context ||
        heif_context_read_from_memory_without_copy(context.get(), bytes.constData(), std::size_t(bytes.size()), nullptr)
                .code != heif_error_Ok ||
        heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
      return;
    primary.reset(handle);
  }

  static QSize size(heif_image_handle* handle) {
    return {heif_image_handle_get_width(handle), heif_image_handle_get_height(handle)};
  }
};

/// The smallest stored thumbnail that still fills `target`, or null.
HeifPointer<heif_image_handle> heifSourceFor(heif_image_handle* primary, QSize target) {
  const int count = heif_image_handle_get_number_of_thumbnails(primary);
  std::vector<heif_item_id> ids(std::size_t(std::max(count, 0)));
  heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
  HeifPointer<heif_image_handle> best;
  for (heif_item_id id : ids) {
    heif_image_handle* thumbnail = nullptr;
    if (heif_image_handle_get_thumbnail(primary, id, &thumbnail).code != heif_error_Ok) continue;
    HeifPointer<heif_image_handle> candidate(thumbnail);
    const QSize size = HeifPicture::size(thumbnail);
    if (size.width() >= target.width() && size.height() >= target.height() &&
        (!best || size.width() < HeifPicture::size(best.get()).width()))
      best = std::move(candidate);
  }
  return best;
}

QImage heicThumbnail(const QByteArray& bytes, int maximumEdge) {
  const HeifPicture picture(bytes);
  if (!picture.primary) return {};
  const QSize target = PictureReader::fitting(HeifPicture::size(picture.primary.get()), maximumEdge);
  const HeifPointer<heif_image_handle> thumbnail = heifSourceFor(picture.primary.get(), target);
  heif_image_handle* source = thumbnail ? thumbnail.get() : picture.primary.get();
  // libheif sizes a tiled picture by its grid, not by the size the file declares,
  // so a few hundred bytes could make it allocate gigabytes. Nothing it decodes
  // may be larger than the declared size but for coding blocks and tile rounding.
  const QSize declared = HeifPicture::size(source);
  heif_context_set_maximum_image_size_limit(picture.context.get(),
                                            std::max(declared.width(), declared.height()) + heifTileSlack);
  const bool alpha = heif_image_handle_has_alpha_channel(source);
  heif_image* decoded = nullptr;
  if (heif_decode_image(source, &decoded, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
          .code != heif_error_Ok)
    return {};
  const HeifPointer<heif_image> image(decoded);
  int stride = 0;
  const uint8_t* pixels = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  if (!pixels) return {};
  const QImage view(pixels, heif_image_get_width(decoded, heif_channel_interleaved),
                    heif_image_get_height(decoded, heif_channel_interleaved), stride,
                    alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  return shrink(view, PictureReader::fitting(view.size(), maximumEdge)).copy();
}

/// Qt's decoders may allocate more than the size they report from the header
/// (a GIF's whole logical screen, for one), so while one reads, Qt may
/// allocate only what the reported size needs at the widest pixel format.
class AllocationLimit final {
 public:
  explicit AllocationLimit(QSize declared) : m_previous(QImageReader::allocationLimit()) {
    constexpr qint64 widestPixelBytes = 8;
    const qint64 bytes = qint64(std::max(declared.width(), 1)) * std::max(declared.height(), 1) * widestPixelBytes;
    QImageReader::setAllocationLimit(int(bytes >> 20) + 1);
  }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
  ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }

 private:
  int m_previous = 0;
};

}  // namespace

PictureReader::PictureReader(const QByteArray& bytes, QByteArray format)
    : m_bytes(bytes), m_format(std::move(format)) {}

QSize PictureReader::fitting(QSize size, int maximumEdge) {
  const int longer = std::max(size.width(), size.height());
  if (longer <= maximumEdge) return size;
  const double factor = double(maximumEdge) / longer;
  return QSize(std::max(1, int(std::lround(size.width() * factor))),
               std::max(1, int(std::lround(size.height() * factor))));
}

QSize PictureReader::size() const {
  if (m_format == "heic") {
    const HeifPicture picture(m_bytes);
    return picture.primary ? HeifPicture::size(picture.primary.get()) : QSize();
  }
  QBuffer buffer;
  buffer.setData(m_bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, m_format);
  reader.setAutoDetectImageFormat(false);
  return reader.size();
}

QImage PictureReader::thumbnail(int maximumEdge) const {
  std::optional<QImage> reduced;
  if (m_format == "png") reduced = pngThumbnail(m_bytes, maximumEdge);
  if (m_format == "webp") reduced = webpThumbnail(m_bytes, maximumEdge);
  if (m_format == "heic") reduced = heicThumbnail(m_bytes, maximumEdge);
  return reduced ? *reduced : decodedByQt(maximumEdge);
}

QImage PictureReader::decodedByQt(int maximumEdge) const {
  QBuffer buffer;
  buffer.setData(m_bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, m_format);
  reader.setAutoDetectImageFormat(false);
  reader.setAutoTransform(true);
  const AllocationLimit limit(reader.size());
  // JPEG decodes at a reduced size directly; the others are reduced after.
  if (m_format == "jpeg") reader.setScaledSize(fitting(reader.size(), maximumEdge));
  const QImage image = reader.read();
  if (image.isNull()) return image;
  return shrink(image, fitting(image.size(), maximumEdge));
}
