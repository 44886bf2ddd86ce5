// The check every custom button picture passes before it is stored or shown,
// given any bytes under their own reference (so the digest never stops the
// fuzzer early). A picture it accepts must also be one the launcher can draw.
#include "FuzzDecoder.h"
#include "shortcuts/ShortcutImageStore.h"
#include "values/QuibError.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    ShortcutImageStore::validate(bytes, ShortcutImageStore::reference(bytes));
  } catch (const QuibError&) {
    return 0;
  } catch (...) {
    std::abort();
  }
  if (QImage::fromData(bytes, "png").isNull()) std::abort();
  return 0;
}
