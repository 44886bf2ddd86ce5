// A picture the user chooses for a button: any bytes, as a file's contents,
// are refused with a sentence or turned into a stored picture that passes
// the check every stored picture passes.
#include "FuzzDecoder.h"
#include "platform/core/FileError.h"
#include "shortcuts/ShortcutImageStore.h"
#include "values/QuibError.h"

#include <QUrl>
#include <sys/mman.h>
#include <unistd.h>

namespace {

/// One file in memory, rewritten for every input, under a path any open call follows.
int pictureFile() {
  static const int file = ::memfd_create("picture", MFD_CLOEXEC);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int file = pictureFile();
  if (file < 0 || ::ftruncate(file, 0) != 0 || ::pwrite(file, data, size, 0) != ssize_t(size)) std::abort();
  const QUrl url = QUrl::fromLocalFile(QStringLiteral("/proc/self/fd/%1").arg(file));
  ShortcutImageStore::Imported imported;
  try {
    imported = ShortcutImageStore::importImage(url);
  } catch (const QuibError&) {
    return 0;
  } catch (const pf::FileError&) {
    return 0;
  } catch (...) {
    std::abort();
  }
  try {
    ShortcutImageStore::validate(imported.png, imported.reference);
  } catch (...) {
    std::abort();
  }
  return 0;
}
