#include "platform/core/Text.h"

#include <QCollator>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace pf {
namespace {

// The C and POSIX locales give Qt a collator that ignores numeric mode, so
// the order always comes from an explicit English (ICU) collator.
const QCollator& naturalCollator() {
  static const QCollator collator = [] {
    QCollator c{QLocale(QLocale::English, QLocale::UnitedStates)};
    c.setNumericMode(true);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setIgnorePunctuation(false);
    c.compare(QString(), QString());  // builds the ICU collator now, not on a first concurrent use
    return c;
  }();
  return collator;
}

}  // namespace

int Text::characterCount(const QString& text) {
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  int count = 0;
  while (finder.toNextBoundary() != -1) ++count;
  return count;
}

bool Text::isWhiteSpaceOrNewline(QChar c) {
  // Unicode White_Space spelled out rather than QChar::isSpace, so the set
  // does not move with Qt's Unicode tables.
  const char16_t u = c.unicode();
  return (u >= 0x0009 && u <= 0x000D) || u == 0x0020 || u == 0x0085 || u == 0x00A0 || u == 0x1680 ||
         (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
}

QString Text::trimmed(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isWhiteSpaceOrNewline(text.at(begin))) ++begin;
  while (end > begin && isWhiteSpaceOrNewline(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

QString Text::lowercased(const QString& text) { return text.toLower(); }

bool Text::containsCaseInsensitive(const QString& text, const QString& part) {
  return text.contains(part, Qt::CaseInsensitive);
}

int Text::naturalCompare(const QString& a, const QString& b) { return naturalCollator().compare(a, b); }

void Text::naturalSort(QStringList& list) { std::stable_sort(list.begin(), list.end(), naturalLess); }

}  // namespace pf
