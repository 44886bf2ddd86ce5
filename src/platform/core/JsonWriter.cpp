#include "platform/core/JsonWriter.h"

#include "platform/core/Json.h"

#include <QLocale>
#include <cmath>
#include <utility>

namespace pf {
namespace {

// Integral numbers up to 2^53 are written as integers, as Qt stores them.
constexpr double largestExactInteger = 9007199254740992.0;

bool needsEscape(char16_t c) { return c < 0x20 || c == u'"' || c == u'\\'; }

/// Writes `c`, which needs an escape, as JSON spells it; returns the end of what was written.
char* escape(char* out, char16_t c) {
  static constexpr char hex[] = "0123456789abcdef";
  *out++ = '\\';
  switch (c) {
    case u'"': *out++ = '"'; return out;
    case u'\\': *out++ = '\\'; return out;
    case u'\b': *out++ = 'b'; return out;
    case u'\f': *out++ = 'f'; return out;
    case u'\n': *out++ = 'n'; return out;
    case u'\r': *out++ = 'r'; return out;
    case u'\t': *out++ = 't'; return out;
    default:
      *out++ = 'u';
      for (int shift = 12; shift >= 0; shift -= 4) *out++ = hex[(c >> shift) & 0xf];
      return out;
  }
}

/// Writes `text` in quotes as UTF-8 straight from UTF-16, with no text in
/// between. A lone surrogate has no UTF-8 spelling; like Qt's own writer it
/// goes out escaped, so it reads back unchanged. So does a byte order mark
/// that starts a text: Qt drops it there unless it is escaped.
void appendEscaped(QByteArray& out, QStringView text) {
  // Room for the worst case: every UTF-16 unit escaped as six bytes, and the quotes.
  const qsizetype start = out.size();
  out.resize(start + 6 * text.size() + 2);
  char* p = out.data() + start;
  *p++ = '"';
  const char16_t* c = text.utf16();
  const char16_t* const end = c + text.size();
  for (; c != end; ++c) {
    const char16_t u = *c;
    if (u < 0x80) {
      if (needsEscape(u))
        p = escape(p, u);
      else
        *p++ = char(u);
    } else if (u < 0x800) {
      *p++ = char(0xc0 | (u >> 6));
      *p++ = char(0x80 | (u & 0x3f));
    } else if (QChar::isHighSurrogate(u) && c + 1 != end && QChar::isLowSurrogate(c[1])) {
      const char32_t scalar = QChar::surrogateToUcs4(u, *++c);
      *p++ = char(0xf0 | (scalar >> 18));
      *p++ = char(0x80 | ((scalar >> 12) & 0x3f));
      *p++ = char(0x80 | ((scalar >> 6) & 0x3f));
      *p++ = char(0x80 | (scalar & 0x3f));
    } else if (QChar::isSurrogate(u) || (u == 0xFEFF && c == text.utf16())) {
      p = escape(p, u);
    } else {
      *p++ = char(0xe0 | (u >> 12));
      *p++ = char(0x80 | ((u >> 6) & 0x3f));
      *p++ = char(0x80 | (u & 0x3f));
    }
  }
  *p++ = '"';
  out.resize(p - out.constData());
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
