#pragma once

#include "support/TestFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>
#include <cstring>
#include <libheif/heif.h>
#include <zlib.h>

namespace test {

/// A picture in `format` ("png", "jpeg", "tiff", "webp") as Qt writes it.
inline QByteArray encodedImage(const QImage& image, const char* format,
                               QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setTransformation(transformation);
  writer.write(image);
  return bytes;
}

/// A picture with a gradient, so that scaling and re-encoding have work to do.
inline QImage pattern(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
  return image;
}

namespace detail {

inline QByteArray pngChunk(const char* type, const QByteArray& data) {
  QByteArray body = QByteArray(type, 4) + data;
  QByteArray chunk(4, '\0');
  qToBigEndian<quint32>(quint32(data.size()), chunk.data());
  chunk += body;
  QByteArray crc(4, '\0');
  quint32 c = 0xffffffffu;
  for (unsigned char byte : body) {
    c ^= byte;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
  }
  qToBigEndian<quint32>(c ^ 0xffffffffu, crc.data());
  return chunk + crc;
}

}  // namespace detail

namespace detail {

/// The zlib stream of `count` zero bytes, compressed a row at a time so that
/// a huge picture never needs all its bytes at once.
inline QByteArray zeroStream(qint64 rowBytes, qint64 rows) {
  z_stream stream{};
  deflateInit(&stream, 1);
  const QByteArray row(rowBytes, '\0');
  QByteArray out;
  QByteArray chunk(1 << 16, '\0');
  for (qint64 y = 0; y <= rows; ++y) {
    const bool last = y == rows;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
    stream.avail_in = last ? 0 : uInt(rowBytes);
    do {
      stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
      stream.avail_out = uInt(chunk.size());
      deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
      out.append(chunk.constData(), chunk.size() - qsizetype(stream.avail_out));
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return out;
}

}  // namespace detail

/// A PNG of a uniform picture of any size, written without decoding a
/// picture of that size: `colorType` 0 grey, 2 RGB; `bitDepth` 1, 8 or 16. With
/// `withPixels` false the pixels are missing: enough to be refused by the
/// declared size, and not decodable.
inline QByteArray plainPNG(int width, int height, int colorType, int bitDepth, bool withPixels = true) {
  QByteArray header(13, '\0');
  qToBigEndian<quint32>(quint32(width), header.data());
  qToBigEndian<quint32>(quint32(height), header.data() + 4);
  header[8] = char(bitDepth);
  header[9] = char(colorType);
  QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + detail::pngChunk("IHDR", header);
  const qint64 channels = colorType == 2 ? 3 : 1;
  const qint64 rowBytes = 1 + (qint64(width) * channels * bitDepth + 7) / 8;
  // Without pixels the image data is one empty row: the header reads, the decoding fails.
  png += detail::pngChunk("IDAT", withPixels ? detail::zeroStream(rowBytes, height) : detail::zeroStream(1, 1));
  return png + detail::pngChunk("IEND", {});
}

namespace detail {

inline heif_image* heifImage(const QImage& source) {
  const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
  heif_image* image = nullptr;
  heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
  heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
  return image;
}

}  // namespace detail

/// A HEIC file of `picture`, encoded with libheif. With `thumbnail`, the file
/// also stores that picture, reduced to fit `thumbnailEdge`, as the
/// picture's thumbnail. Empty when no HEVC encoder is installed.
inline QByteArray heic(const QImage& picture, const QImage& thumbnail = {}, int thumbnailEdge = 0) {
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  QByteArray bytes;
  if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok) {
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_image* image = detail::heifImage(picture);
    heif_image_handle* handle = nullptr;
    heif_context_encode_image(context, image, encoder, nullptr, &handle);
    if (!thumbnail.isNull()) {
      heif_image* small = detail::heifImage(thumbnail);
      heif_image_handle* smallHandle = nullptr;
      heif_context_encode_thumbnail(context, small, handle, encoder, nullptr, thumbnailEdge, &smallHandle);
      heif_image_handle_release(smallHandle);
      heif_image_release(small);
    }
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = [](heif_context*, const void* data, size_t size, void* out) {
      static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), qsizetype(size));
      return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
    };
    heif_context_write(context, &writer, &bytes);
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
  }
  heif_context_free(context);
  return bytes;
}

/// A two-colour GIF (left half black, right half white). Qt cannot write GIF,
/// so this writes the codes itself, with a clear code after every two pixels
/// so that every code stays three bits wide.
inline QByteArray gif(int width, int height) {
  QByteArray out("GIF89a");
  auto word = [&](int v) {
    out += char(v & 0xff);
    out += char((v >> 8) & 0xff);
  };
  word(width);
  word(height);
  out += char(0x80);  // global colour table of two entries
  out += char(0);
  out += char(0);
  out += QByteArray("\x00\x00\x00\xff\xff\xff", 6);
  out += ',';
  word(0);
  word(0);
  word(width);
  word(height);
  out += char(0);
  out += char(2);  // minimum code size
  QByteArray data;
  quint32 bits = 0;
  int bitCount = 0;
  auto code = [&](int c) {
    bits |= quint32(c) << bitCount;
    bitCount += 3;
    while (bitCount >= 8) {
      data += char(bits & 0xff);
      bits >>= 8;
      bitCount -= 8;
    }
  };
  int written = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (written++ % 2 == 0) code(4);
      code(x < width / 2 ? 0 : 1);
    }
  code(5);
  if (bitCount > 0) data += char(bits & 0xff);
  for (qsizetype i = 0; i < data.size(); i += 255) {
    const QByteArray block = data.mid(i, 255);
    out += char(block.size());
    out += block;
  }
  out += char(0);
  out += ';';
  return out;
}

}  // namespace test
