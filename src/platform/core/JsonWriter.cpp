#include "platform/core/JsonWriter.h"

#include "platform/core/Json.h"

#include <QLocale>
#include <cmath>
#include <utility>

namespace pf {
namespace {

// Integral numbers up to 2^53 are written as integers, as Qt stores them.
constexpr double largestExactInteger = 9007199254740992.0;

bool needsEscape(char c) { return uchar(c) < 0x20 || c == '"' || c == '\\'; }

void appendEscaped(QByteArray& out, QStringView text) {
  static constexpr char hex[] = "0123456789abcdef";
  const QByteArray utf8 = text.toUtf8();
  out += '"';
  const char* run = utf8.constData();
  const char* const end = run + utf8.size();
  // Characters that need no escape go out in runs: one append per run, not per byte.
  for (const char* c = run; c != end; ++c) {
    if (!needsEscape(*c)) continue;
    out.append(run, c - run);
    run = c + 1;
    switch (*c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        const char escape[] = {'\\', 'u', '0', '0', hex[uchar(*c) >> 4], hex[uchar(*c) & 0xf]};
        out.append(escape, sizeof escape);
      }
    }
  }
  out.append(run, end - run);
  out += '"';
}

}  // namespace

void JsonWriter::newLine() {
  m_text += '\n';
  m_text.append(qsizetype(m_empty.size()) * 4, ' ');
}

void JsonWriter::beforeValue() {
  // In an object the key has already placed the value; in an array each item takes a line.
  if (std::exchange(m_afterKey, false) || m_empty.empty()) return;
  if (!m_empty.back()) m_text += ',';
  m_empty.back() = false;
  newLine();
}

void JsonWriter::key(QStringView key) {
  if (!m_empty.back()) m_text += ',';
  m_empty.back() = false;
  newLine();
  appendEscaped(m_text, key);
  m_text += ": ";
  m_afterKey = true;
}

void JsonWriter::beginObject() {
  beforeValue();
  m_text += '{';
  m_empty.push_back(true);
}

void JsonWriter::beginArray() {
  beforeValue();
  m_text += '[';
  m_empty.push_back(true);
}

void JsonWriter::close(char bracket) {
  m_empty.pop_back();
  newLine();
  m_text += bracket;
}

void JsonWriter::endObject() { close('}'); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::string(QStringView text) {
  beforeValue();
  appendEscaped(m_text, text);
}

void JsonWriter::integer(qint64 number) {
  beforeValue();
  m_text += QByteArray::number(number);
}

void JsonWriter::number(double number) {
  if (!std::isfinite(number))
    throw JsonError(QStringLiteral("A number that is not finite cannot be written as JSON."));
  if (std::trunc(number) == number && std::abs(number) <= largestExactInteger) return integer(qint64(number));
  beforeValue();
  m_text += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
}

void JsonWriter::boolean(bool value) {
  beforeValue();
  m_text += value ? "true" : "false";
}

QByteArray JsonWriter::take() {
  m_text += '\n';
  return std::exchange(m_text, {});
}

}  // namespace pf
