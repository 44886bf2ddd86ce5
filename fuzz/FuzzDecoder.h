#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <stdexcept>

namespace fuzz {

/// Whether an exception is a decoder refusing bad bytes with a sentence, as
/// it must, rather than a fault: a logic error or a failed allocation.
inline bool isRefusal(const std::exception& error) {
  return !dynamic_cast<const std::logic_error*>(&error) && !dynamic_cast<const std::bad_alloc*>(&error);
}

/// What every stored file's decoder owes any bytes at all: a refusal, or a
/// value that passes its checks, is written, and reads back equal. Anything
/// else aborts, which libFuzzer reports with the input.
template <typename File>
File read(const QByteArray& bytes) {
  File file = File::decode(bytes);
  if constexpr (requires { file.validate(); }) file.validate();
  return file;
}

/// What `decode` gives: the file, or the sentence of its refusal.
template <typename File, typename Decode>
std::pair<std::optional<File>, std::string> outcome(Decode decode) {
  try {
    return {decode(), {}};
  } catch (const std::exception& error) {
    return {std::nullopt, error.what()};
  }
}

/// A decoder that reads its own files straight from the document must agree
/// with its strict reading on any bytes at all: the same file, or the same refusal.
template <typename File>
void requireStrictAgreement(const QByteArray& bytes) {
  if constexpr (requires { File::decodeStrictly(bytes); }) {
    if (outcome<File>([&] { return File::decode(bytes); }) !=
        outcome<File>([&] { return File::decodeStrictly(bytes); }))
      std::abort();
  }
}

/// A decoder that validates as it reads must agree with decoding and then
/// validating on any bytes at all: the same file, or the same refusal.
template <typename File>
void requireValidatedAgreement(const QByteArray& bytes) {
  if constexpr (requires { File::decodeValidated(bytes); }) {
    if (outcome<File>([&] { return File::decodeValidated(bytes); }) != outcome<File>([&] { return read<File>(bytes); }))
      std::abort();
  }
}

template <typename File>
int roundTrip(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  requireStrictAgreement<File>(bytes);
  requireValidatedAgreement<File>(bytes);
  File file;
  try {
    file = read<File>(bytes);
  } catch (const std::exception& error) {
    if (isRefusal(error)) return 0;
    std::abort();
  }
  // Past the checks nothing may throw: what was accepted is written and must read back the same.
  try {
    if (!(read<File>(file.encoded()) == file)) std::abort();
  } catch (...) {
    std::abort();
  }
  return 0;
}

}  // namespace fuzz

/// The whole fuzzing program of a file type with `decode`, `encoded` and
/// equality (and `validate` when decoding alone does not check).
#define WENDLE_FUZZ_ROUND_TRIP(File)                                        \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return ::fuzz::roundTrip<File>(data, size);                             \
  }
