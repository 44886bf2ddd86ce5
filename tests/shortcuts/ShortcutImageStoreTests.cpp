#include "platform/core/AtomicWriter.h"
#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ImageSupport.h"
#include "shortcuts/RepositorySupport.h"
#include "shortcuts/ShortcutImageStore.h"
#include "support/ChildProcess.h"
#include "support/HelperProcess.h"
#include "support/TestEnvironment.h"
#include "values/QuibError.h"

#include <QColorSpace>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using test::messageOf;
using test::writeFile;

namespace {

const QString notAFile = QStringLiteral("Choose an image file on this computer.");
const QString wrongKind = QStringLiteral("Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image.");
const QString tooBig = QStringLiteral("Choose an image smaller than 25 MB.");
const QString unreadable = QStringLiteral(
    "That image cannot be read or is too large. Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image up to 100 "
    "megapixels.");
const QString invalidImage = QStringLiteral("The selected button image is invalid. Choose the image again.");

QString inHome(const QString& name) { return test::home() + u'/' + name; }

QUrl picture(const QString& name, const QByteArray& bytes) {
  return QUrl::fromLocalFile(writeFile(inHome(name), bytes));
}

QString importMessage(const QUrl& url) {
  return messageOf([&] { ShortcutImageStore::importImage(url); });
}

/// What the check of a stored picture says of the file's bytes under their own reference.
QString storedCheckMessage(const QString& path) {
  QFile file(path);
  const QByteArray png = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  return messageOf([&] { ShortcutImageStore::validate(png, ShortcutImageStore::reference(png)); });
}

ino_t inodeOf(const QString& path) {
  struct stat info {};
  ::stat(QFile::encodeName(path).constData(), &info);
  return info.st_ino;
}

QSize storedSize(const QByteArray& png) { return QImage::fromData(png, "png").size(); }

QImage solid(int width, int height, const QColor& colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

bool closeTo(const QColor& seen, const QColor& expected) {
  return std::abs(seen.red() - expected.red()) <= 12 && std::abs(seen.green() - expected.green()) <= 12 &&
         std::abs(seen.blue() - expected.blue()) <= 12;
}

ShortcutImageStore::Imported importPattern(int width, int height) {
  return ShortcutImageStore::importImage(picture("p.png", test::encodedImage(test::pattern(width, height), "png")));
}

}  // namespace

TEST(ImageImport, AcceptsPngJpegGifAndReencodesAtMost256Pixels) {
  const QImage source = test::pattern(1024, 512);
  const std::vector<std::pair<const char*, QByteArray>> files{
      {"a.png", test::encodedImage(source, "png")},
      {"a.jpg", test::encodedImage(source, "jpeg")},
      {"a.gif", test::gif(1024, 512)},
      {"a.tiff", test::encodedImage(source, "tiff")},
      {"a.webp", test::encodedImage(source, "webp")},
  };
  for (const auto& [name, bytes] : files) {
    const auto imported = ShortcutImageStore::importImage(picture(name, bytes));
    EXPECT_EQ(storedSize(imported.png), QSize(256, 128)) << name;
    EXPECT_TRUE(imported.png.startsWith("\x89PNG")) << name;
    EXPECT_EQ(imported.reference, ShortcutImageStore::reference(imported.png)) << name;
    EXPECT_NO_THROW(ShortcutImageStore::validate(imported.png, imported.reference)) << name;
  }
  const QImage gifThumb = QImage::fromData(ShortcutImageStore::importImage(picture("b.gif", test::gif(1024, 512))).png);
  EXPECT_EQ(qGray(gifThumb.pixel(10, 64)), 0);
  EXPECT_EQ(qGray(gifThumb.pixel(245, 64)), 255);
}

TEST(ImageImport, SmallPicturesKeepTheirSizeAndOrientationIsApplied) {
  EXPECT_EQ(storedSize(importPattern(64, 32).png), QSize(64, 32));
  EXPECT_EQ(storedSize(importPattern(256, 10).png), QSize(256, 10));
  const QByteArray turned =
      test::encodedImage(test::pattern(1024, 512), "jpeg", QImageIOHandler::TransformationRotate90);
  EXPECT_EQ(storedSize(ShortcutImageStore::importImage(picture("t.jpg", turned)).png), QSize(128, 256));
}

TEST(ImageImport, ASmallPngKeepsEveryRowAndItsColourSpace) {
  QImage source = solid(8, 8, QColor(0, 0, 255));
  for (int x = 0; x < 8; ++x) source.setPixelColor(x, 0, QColor(255, 0, 0));
  for (const QColorSpace& space : {QColorSpace(QColorSpace::DisplayP3), QColorSpace()}) {
    SCOPED_TRACE(space.isValid() ? "Display P3" : "no profile");
    QImage tagged = source;
    tagged.setColorSpace(space);
    const QImage stored = QImage::fromData(
        ShortcutImageStore::importImage(picture("rows.png", test::encodedImage(tagged, "png"))).png, "png");
    ASSERT_EQ(stored.size(), QSize(8, 8));
    for (const int x : {0, 3, 7}) {
      EXPECT_EQ(stored.pixelColor(x, 0), QColor(255, 0, 0)) << x;
      EXPECT_EQ(stored.pixelColor(x, 7), QColor(0, 0, 255)) << x;
    }
    EXPECT_EQ(stored.colorSpace().isValid(), space.isValid());
    if (space.isValid()) {
      EXPECT_EQ(stored.colorSpace().primaries(), QColorSpace::Primaries::DciP3D65);
    }
  }
}

TEST(ImageImport, SamePictureTwiceGivesTheSameReference) {
  const auto first = importPattern(300, 200);
  const auto second = importPattern(300, 200);
  EXPECT_EQ(first.reference, second.reference);
  EXPECT_EQ(first.png, second.png);
}

TEST(ImageImport, RefusesWhatIsNotAPictureFile) {
  EXPECT_EQ(importMessage(QUrl("https://example.com/a.png")), notAFile);
  QDir().mkpath(inHome("folder.png"));
  EXPECT_EQ(importMessage(QUrl::fromLocalFile(inHome("folder.png"))), wrongKind);
  EXPECT_EQ(importMessage(picture("text.png", "this is not a picture")), unreadable);
  EXPECT_EQ(importMessage(picture("empty.png", "")), tooBig);
  ASSERT_EQ(::mkfifo(QFile::encodeName(inHome("pipe.png")).constData(), 0600), 0);
  EXPECT_EQ(importMessage(QUrl::fromLocalFile(inHome("pipe.png"))), wrongKind);
  // A missing file reports the file system's own error.
  const QString missing = importMessage(QUrl::fromLocalFile(inHome("missing.png")));
  EXPECT_FALSE(missing.isEmpty());
  EXPECT_NE(missing, notAFile);
}

TEST(ImageImport, HeicIsDecodedFromAStoredThumbnailWhenItIsLargeEnough) {
  const QImage red = solid(1024, 512, Qt::red);
  const QImage blue = solid(512, 256, Qt::blue);
  struct Case {
    const char* name;
    QByteArray heic;
    QColor seen;
  };
  // The thumbnail is drawn in another colour to show which picture was read.
  for (const Case& c :
       {Case{"plain", test::heic(red), Qt::red}, Case{"large thumbnail", test::heic(red, blue, 400), Qt::blue},
        Case{"small thumbnail", test::heic(red, blue, 128), Qt::red}}) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.heic.isEmpty());
    const auto imported = ShortcutImageStore::importImage(picture("a.heic", c.heic));
    const QImage thumbnail = QImage::fromData(imported.png, "png");
    EXPECT_EQ(thumbnail.size(), QSize(256, 128));
    EXPECT_TRUE(closeTo(thumbnail.pixelColor(128, 64), c.seen)) << thumbnail.pixelColor(128, 64).name().toStdString();
  }
  const QByteArray damaged = QByteArray(
                                 "\0\0\0\x18"
                                 "ftypheic\0\0\0\0mif1heic",
                                 24) +
                             QByteArray(100, '\0');
  EXPECT_EQ(importMessage(picture("damaged.heic", damaged)), unreadable);
  EXPECT_EQ(ShortcutImageStore::allowedTypes(),
            (QStringList{"image/png", "image/jpeg", "image/heic", "image/tiff", "image/gif", "image/webp"}));
}

TEST(ImageImport, EveryKindOfPngIsReducedWithItsColoursAndTransparency) {
  QImage quarters(600, 300, QImage::Format_ARGB32);
  quarters.fill(Qt::transparent);
  QPainter painter(&quarters);
  painter.fillRect(0, 0, 300, 150, QColor(255, 0, 0));
  painter.fillRect(300, 0, 300, 150, QColor(0, 255, 0));
  painter.fillRect(0, 150, 300, 150, QColor(0, 0, 255, 128));
  painter.end();
  const QImage grey = solid(600, 300, QColor(90, 90, 90)).convertToFormat(QImage::Format_Grayscale16);
  struct Case {
    const char* name;
    QImage source;
  };
  for (const Case& c :
       {Case{"RGBA", quarters}, Case{"RGBA 16-bit", quarters.convertToFormat(QImage::Format_RGBA64)},
        Case{"palette", quarters.convertToFormat(QImage::Format_Indexed8)}, Case{"grey 16-bit", grey}}) {
    SCOPED_TRACE(c.name);
    const QImage thumbnail = QImage::fromData(
        ShortcutImageStore::importImage(picture("q.png", test::encodedImage(c.source, "png"))).png, "png");
    ASSERT_EQ(thumbnail.size(), QSize(256, 128));
    for (const QPoint at :
         {QPoint(0, 0), QPoint(64, 32), QPoint(192, 32), QPoint(64, 96), QPoint(192, 96), QPoint(255, 127)}) {
      const QColor expected = c.source.pixelColor(at * 600 / 256);
      const QColor seen = thumbnail.pixelColor(at);
      EXPECT_TRUE(closeTo(seen, expected) && std::abs(seen.alpha() - expected.alpha()) <= 2)
          << at.x() << "," << at.y() << " " << seen.name(QColor::HexArgb).toStdString();
    }
  }
}

// Imports a picture with the process's data limited, as a small machine would.
WENDLE_TEST_HELPER(importsWithLittleMemory) {
  const rlimit limit{128 << 20, 128 << 20};
  if (::setrlimit(RLIMIT_DATA, &limit) != 0) return 3;
  try {
    const auto imported = ShortcutImageStore::importImage(QUrl::fromLocalFile(args.value(0)));
    return storedSize(imported.png) == QSize(256, 64) ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 2;
  }
}

TEST(ImageImport, AHugePngIsReducedWithoutHoldingTheWholePicture) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit the limit";
#endif
  // 20,000 x 5,000 at 16 bits decodes to 200 MB whole; a thumbnail needs a row.
  const QString path = writeFile(inHome("huge.png"), test::plainPNG(20000, 5000, 0, 16));
  test::ChildProcess importer("importsWithLittleMemory", {path});
  EXPECT_EQ(importer.finish(), 0) << importer.errors().toStdString();
}

/// Imports a picture (or, given "stored", checks it as a stored one) and
/// prints how far that raised the process's peak memory in use, then its peak
/// address space (what it asked for, used or not), both in KiB.
WENDLE_TEST_HELPER(importAndTellPeakGrowth) {
  const auto peak = [] {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  };
  const auto addressSpacePeak = [] {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0L;
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmPeak:")) return line.mid(7).trimmed().split(' ').value(0).toLong();
    }
    return 0L;
  };
  const long before = peak();
  const long addressSpaceBefore = addressSpacePeak();
  const QString path = args.value(0);
  const QString message =
      args.value(1) == QStringLiteral("stored") ? storedCheckMessage(path) : importMessage(QUrl::fromLocalFile(path));
  test::tellParent(message.toUtf8());
  test::tellParent(QByteArray::number(qint64(peak() - before)));
  test::tellParent(QByteArray::number(qint64(addressSpacePeak() - addressSpaceBefore)));
  return 0;
}

TEST(ImageImport, APictureLargerThanItsHeaderSaysIsRefusedBeforeItIsAllocated) {
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* refusal = "That image could not be decoded. Try another image.";
    bool stored = false;  // checked as a stored picture rather than imported
  };
  const Case cases[] = {
      // 130 bytes whose text chunk declares 1.8 GB.
      {"text.png",
       QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAwAAAAIEAIAAAASFlXlAAAABGdBTUEAALGPC/"
                              "xhBQAAACBjSFJNAAB6JgAAgIQARgi6ADsA+"
                              "gAAgADoAAB1MAAA6mAAADqYAAAXapy6UXRFWHRkYXRlOm1vZGlmeQA2Nv///////zk6AAAANTmC"),
       "That image cannot be read or is too large. Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image up to 100 "
       "megapixels."},
      // 101 bytes: the same chunk, 1.8 GB, cut off right after its type.
      {"cut.png",
       QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAwAAAAIEAIAAAASFlXlAAAABGdBTUEAALGPC/xhBQAAACBjSFJNAAB6JgAAgIQ"
                              "ARgi6ADsA+gAAgADoAAB1MAAA6mAAADqYAAAXapy6UXRFWHQ="),
       "That image cannot be read or is too large. Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image up to 100 "
       "megapixels."},
      // The same, checked as a stored picture under its own reference.
      {"stored.png",
       QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAwAAAAIEAIAAAASFlXlAAAABGdBTUEAALGPC/xhBQAAACBjSFJNAAB6JgAAgIQ"
                              "ARgi6ADsA+gAAgADoAAB1MAAA6mAAADqYAAAXapy6UXRFWHQ="),
       "The selected button image is invalid. Choose the image again.", true},
      // 74 bytes: an interlaced 8 x 8 picture (decoded whole) whose pixels are
      // followed by a text chunk declaring 1.8 GB.
      {"tail.png",
       QByteArray::fromBase64(
           "iVBORw0KGgoAAAANSUhEUgAAAAgAAAAICAIAAAE8ahlKAAAAFUlEQVR4nGNocFBggGJcFC04NJIAADn5OAF9AuQ5apy6UXRFWHQ="),
       "That image cannot be read or is too large. Choose a PNG, JPEG, HEIC, TIFF, GIF or WebP image up to 100 "
       "megapixels."},
      // 526 bytes declaring a 12 x 8 picture tiled into a 4,000 x 4,000 grid.
      {"grid.heic",
       QByteArray::fromBase64(
           "AAAAHGZ0eXBoZWljAAAAAG1pZjFoZWljbWlhZgAAAaxtZXRhAAAAAAAAACFoZGxyAAAAAAAAAABwaWN0AAAAAAAAAAAAAAAAAAAAAA5w"
           "aXRtAAAAAAACAAAAEGlkYXQAAAAAD6APoAAAADhpbG9jAQAAAERAAAIAAQAAAAAAAAHQAAEAAAAAAAAAPgACAAEAAAAAAAAAAQAAAAAA"
           "AAAIAAAAOGlpbmYAAAAAAAIAAAAVaW5mZQIAAAEAAQAAaHZjMQAAAAAVaW5mZQIAAAAAAgAAZ3JpZAAAAADXaXBycAAAALVpcGNvAAAA"
           "dWh2Y0MBBAgAAAAAAAAAAAAe8AD8/fr6AAAPAyAAAQAXQAEMAf//BAgAAAMAnbgAAAMAAB66AkAhAAEAKkIBAQQIAAADAJ24AAADAAAe"
           "oCCBBNluqumubgQEDAgAAAMACAAAAwAIQCIAAQAGRAHBc8GJAAAAFGlzcGUAAAAAAAAAQAAAAEAAAAAUaXNwZQAAAAAAAAAMAAAACAAA"
           "ABBwaXhpAAAAAAMKCgoAAAAaaXBtYQAAAAAAAAACAAECgQIAAgIDhAAAABppcmVmAAAAAAAAAA5kaW1nAAIAAQABAAAARm1kYXQAAAA6"
           "KAGvEyFy0kDnKLHcL6IE6osmpPz0xgKkgmxITsW/L7rjoOqM+v/RS9xbonEH3hcgzxZpVbmI5UePcA==")},
      // 51 bytes whose frame reports 8 x 17,932 on a logical screen 13,068 pixels wide.
      {"screen.gif", QByteArray::fromBase64("R0lGODlhDDMAAPIAAAH//yTbQwAASZIAbW1tYT0wLjQ1NDU1ACwAAAwACAAARkYIugA7")},
  };
  for (const Case& c : cases) {
    QStringList args{writeFile(inHome(c.name), c.bytes)};
    if (c.stored) args << QStringLiteral("stored");
    test::ChildProcess importer("importAndTellPeakGrowth", args);
    ASSERT_EQ(importer.finish(), 0) << importer.errors().toStdString();
    const QByteArrayList lines = importer.lines();
    ASSERT_EQ(lines.size(), 3) << c.name;
    EXPECT_EQ(lines[0], c.refusal) << c.name;
    EXPECT_LT(lines[1].toLong(), 32 * 1024) << c.name << ": KiB of peak memory added by the import";
    EXPECT_LT(lines[2].toLong(), 512 * 1024) << c.name << ": KiB of address space asked for by the import";
  }
}

TEST(ImageImport, FileSizeLimitAtItsEdge) {
  // Sparse files: the size check comes before any byte is examined.
  const QString path = inHome("big.png");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(test::encodedImage(test::pattern(8, 8), "png"));
  ASSERT_TRUE(file.resize(ShortcutImageStore::maximumInputBytes));
  file.close();
  EXPECT_NE(importMessage(QUrl::fromLocalFile(path)), tooBig);
  ASSERT_TRUE(QFile(path).resize(ShortcutImageStore::maximumInputBytes + 1));
  EXPECT_EQ(importMessage(QUrl::fromLocalFile(path)), tooBig);
}

TEST(ImageImport, DeclaredSizeLimits) {
  EXPECT_EQ(importMessage(picture("w.png", test::plainPNG(20001, 1, 0, 8, false))), unreadable);
  EXPECT_EQ(importMessage(picture("h.png", test::plainPNG(1, 20001, 0, 8, false))), unreadable);
  EXPECT_EQ(importMessage(picture("mp.png", test::plainPNG(10001, 10000, 0, 8, false))), unreadable);
  // The same file within the limits passes the size check and fails to decode.
  EXPECT_EQ(importMessage(picture("ok.png", test::plainPNG(10000, 10000, 0, 8, false))),
            "That image could not be decoded. Try another image.");
  // Exactly 100 megapixels is allowed.
  const auto wide = ShortcutImageStore::importImage(picture("wide.png", test::plainPNG(20000, 5000, 0, 1)));
  EXPECT_EQ(storedSize(wide.png), QSize(256, 64));
}

TEST(ImageImport, LargeLegalPictureIsNotRefusedByTheDecoder) {
  // 8,400 x 8,400 RGB decodes to about 282 MB, above Qt's default limit of 256 MB.
  const auto big = ShortcutImageStore::importImage(picture("big.png", test::plainPNG(8400, 8400, 2, 8)));
  EXPECT_EQ(storedSize(big.png), QSize(256, 256));
}

TEST(ImageReferences, WellFormedOnlyWithSixtyFourLowerCaseDigits) {
  const QString digits = QString(64, u'a');
  EXPECT_EQ(ShortcutImageStore::digest("custom-" + digits), digits);
  for (const QString& bad : {"custom-" + QString(64, u'A'), "custom-" + QString(63, u'a'), "custom-" + digits + "\n",
                             "Custom-" + digits, digits, "custom-" + QString(64, u'g')}) {
    EXPECT_FALSE(ShortcutImageStore::digest(bad)) << bad.toStdString();
    ShortcutImageStore store(test::home());
    EXPECT_FALSE(store.url(bad));
    EXPECT_TRUE(store.image(bad).isNull());
    EXPECT_EQ(messageOf([&] { ShortcutImageStore::validate("x", bad); }), invalidImage);
  }
  EXPECT_EQ(ShortcutImageStore::reference(""),
            "custom-e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(ImageReferences, ValidateChecksSizeDigestAndKind) {
  const auto imported = importPattern(40, 40);
  EXPECT_NO_THROW(ShortcutImageStore::validate(imported.png, imported.reference));
  QByteArray changed = imported.png;
  changed[changed.size() - 20] = char(changed[changed.size() - 20] ^ 1);
  EXPECT_EQ(messageOf([&] { ShortcutImageStore::validate(changed, imported.reference); }), invalidImage);
  const QByteArray large = test::plainPNG(257, 1, 0, 8);
  EXPECT_EQ(messageOf([&] { ShortcutImageStore::validate(large, ShortcutImageStore::reference(large)); }),
            invalidImage);
  const QByteArray jpeg = test::encodedImage(test::pattern(8, 8), "jpeg");
  EXPECT_EQ(messageOf([&] { ShortcutImageStore::validate(jpeg, ShortcutImageStore::reference(jpeg)); }), invalidImage);
}

/// Starts saving a picture to `path` and is killed before the save ends.
WENDLE_TEST_HELPER(pictureSaveCutOff) {
  pf::AtomicWriter writer(args.value(0));
  writer.append("the first bytes of a picture");
  test::tellParent("writing");
  for (;;) ::pause();
}

TEST(ImageStore, PersistWritesPrivateContentAddressedFilesOnce) {
  ShortcutImageStore store(inHome("catalog"));
  EXPECT_EQ(store.directory(), inHome("catalog/ShortcutImages"));
  store.persist({});
  EXPECT_FALSE(QFileInfo::exists(store.directory()));

  const auto imported = importPattern(100, 50);
  const QString path = store.url(imported.reference)->toLocalFile();
  EXPECT_EQ(QFileInfo(path).fileName(), imported.reference.mid(7) + ".png");
  EXPECT_FALSE(store.contains(imported.reference));
  store.persist({{imported.reference, imported.png}});
  EXPECT_TRUE(store.contains(imported.reference));
  EXPECT_EQ(test::fileMode(path), 0600u);
  EXPECT_EQ(test::fileMode(store.directory()), 0700u);

  const auto written = QFileInfo(path).lastModified();
  const ino_t inode = inodeOf(path);
  ::usleep(20000);
  store.persist({{imported.reference, imported.png}});
  EXPECT_EQ(QFileInfo(path).lastModified(), written);
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(QDir(store.directory()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  EXPECT_EQ(store.image(imported.reference).size(), QSize(100, 50));

  // What a save killed mid-write left, once it is old, goes with the next picture saved.
  const auto cutOff = importPattern(60, 60);
  const auto next = importPattern(70, 70);
  test::ChildProcess saving("pictureSaveCutOff", {store.url(cutOff.reference)->toLocalFile()});
  ASSERT_TRUE(saving.waitForLine("writing")) << saving.errors().toStdString();
  saving.kill();
  const QStringList left = QDir(store.directory()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden);
  ASSERT_EQ(left.size(), 1);
  const struct timeval old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
  ::utimes(QFile::encodeName(store.directory() + u'/' + left[0]).constData(), old);
  store.persist({{next.reference, next.png}});
  EXPECT_EQ(QDir(store.directory()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
  EXPECT_TRUE(store.contains(next.reference));
}

TEST(ImageStore, InvalidPendingEntryWritesNothingAndHidesTheStoredFile) {
  ShortcutImageStore store(inHome("catalog"));
  const auto good = importPattern(30, 30);
  const auto other = importPattern(31, 31);
  store.persist({{good.reference, good.png}});
  const PendingImages pending{{good.reference, other.png}, {other.reference, other.png}};
  EXPECT_TRUE(store.image(good.reference, pending).isNull());
  EXPECT_EQ(messageOf([&] { store.persist(pending); }), invalidImage);
  EXPECT_FALSE(store.contains(other.reference));
  // A valid pending entry wins over the disk and is not cached.
  EXPECT_EQ(store.image(other.reference, {{other.reference, other.png}}).size(), QSize(31, 31));
  EXPECT_TRUE(store.image(other.reference).isNull());
}

TEST(ImageStore, FileEditedByHandIsRefusedWhileTheCachedCopyStays) {
  ShortcutImageStore store(inHome("catalog"));
  const auto imported = importPattern(20, 10);
  store.persist({{imported.reference, imported.png}});
  EXPECT_FALSE(store.image(imported.reference).isNull());  // now cached
  QByteArray edited = imported.png;
  edited[edited.size() - 20] = char(edited[edited.size() - 20] ^ 1);
  writeFile(store.url(imported.reference)->toLocalFile(), edited);
  EXPECT_FALSE(store.contains(imported.reference));
  EXPECT_EQ(store.image(imported.reference).size(), QSize(20, 10));
  EXPECT_TRUE(ShortcutImageStore(inHome("catalog")).image(imported.reference).isNull());
}

TEST(ImageStore, AStoredPictureThatIsNoRegularFileCountsAsMissing) {
  ShortcutImageStore store(inHome("catalog"));
  const auto imported = importPattern(20, 10);
  const QString path = store.url(imported.reference)->toLocalFile();
  ASSERT_TRUE(QDir().mkpath(store.directory()));
  ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
  EXPECT_FALSE(store.contains(imported.reference)) << "a pipe nobody writes to must not block";
  EXPECT_TRUE(store.image(imported.reference).isNull());
  store.persist({{imported.reference, imported.png}});
  EXPECT_TRUE(store.contains(imported.reference));
}

TEST(ImageStore, TheCacheKeepsAtMost128PicturesOf32MegabytesTogether) {
  struct Case {
    const char* name;
    int count;
    int edge;
    bool firstStaysCached;
  };
  // 128 pictures of 256 x 256 cost exactly the 32 MB the cache may hold.
  for (const Case& c : {Case{"128 full-size", 128, 256, true}, Case{"129 small", 129, 1, false}}) {
    SCOPED_TRACE(c.name);
    ShortcutImageStore store(inHome(c.name));
    PendingImages pending;
    std::vector<QString> references;
    for (int i = 0; i < c.count; ++i) {
      const QByteArray png = test::encodedImage(solid(c.edge, c.edge, QColor::fromRgb(QRgb(0xff000000u + i))), "png");
      references.push_back(ShortcutImageStore::reference(png));
      pending[references.back()] = png;
    }
    store.persist(pending);
    for (const QString& reference : references) ASSERT_FALSE(store.image(reference, {}).isNull());
    // A file spoilt on disk shows whether the first picture is still served from memory.
    writeFile(store.url(references.front())->toLocalFile(), "spoilt");
    EXPECT_EQ(!store.image(references.front(), {}).isNull(), c.firstStaysCached);
  }
}
