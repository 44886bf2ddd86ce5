// A settings domain file: any bytes are refused with a sentence or read into
// values that write to bytes which read back to the same values. Bytes are
// compared rather than values, since a stored NaN never equals itself.
#include "FuzzDecoder.h"
#include "platform/core/DefaultsCoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QVariantMap values;
  try {
    values = pf::DefaultsCoding::decodeDomain(bytes);
  } catch (const std::exception& error) {
    if (fuzz::isRefusal(error)) return 0;
    std::abort();
  }
  try {
    const QByteArray written = pf::DefaultsCoding::encodeDomain(values);
    if (pf::DefaultsCoding::encodeDomain(pf::DefaultsCoding::decodeDomain(written)) != written) std::abort();
  } catch (...) {
    std::abort();
  }
  return 0;
}
