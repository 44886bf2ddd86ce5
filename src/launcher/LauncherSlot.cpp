#include "launcher/LauncherSlot.h"

#include <QStringView>
#include <array>
#include <tuple>

namespace {

/// A base-10 number with an optional sign, within 0 to the key maximum.
std::optional<qint64> keyNumber(QStringView text) {
  qsizetype start = 0;
  bool negative = false;
  if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
    negative = text[0] == u'-';
    start = 1;
  }
  if (start == text.size()) return std::nullopt;
  qint64 value = 0;
  for (qsizetype i = start; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    // Stop before an overlong number can overflow; it is out of range anyway.
    if (value > LauncherSlot::maximumNumber) return std::nullopt;
  }
  if (negative && value != 0) return std::nullopt;
  return value;
}

/// Appends a number in plain decimal.
void appendNumber(QString& text, qint64 number) {
  std::array<char16_t, 20> digits{};
  // Counting down from the magnitude's negative keeps the most negative value exact.
  qint64 rest = number < 0 ? number : -number;
  size_t count = 0;
  do {
    digits[count++] = char16_t(u'0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (number < 0) text += u'-';
  while (count > 0) text += QChar(digits[--count]);
}

}  // namespace

// Keys are built and read on every reconciliation and layout, so both avoid
// the formatting and splitting helpers' temporary strings.
QString LauncherSlot::key() const {
  QString text;
  text.reserve(16);
  appendNumber(text, page);
  text += wide ? u":w:" : u":s:";
  appendNumber(text, row);
  text += u':';
  appendNumber(text, column);
  return text;
}

std::optional<LauncherSlot> LauncherSlot::fromKey(const QString& key) {
  std::array<QStringView, 4> pieces;
  size_t count = 0;
  for (const QStringView piece : QStringView(key).tokenize(u':', Qt::SkipEmptyParts)) {
    if (count == pieces.size()) return std::nullopt;
    pieces[count++] = piece;
  }
  if (count != pieces.size()) return std::nullopt;
  if (pieces[1] != u"s" && pieces[1] != u"w") return std::nullopt;
  const auto page = keyNumber(pieces[0]), row = keyNumber(pieces[2]), column = keyNumber(pieces[3]);
  if (!page || !row || !column) return std::nullopt;
  const bool wide = pieces[1] == u"w";
  if (wide && *row > 1) return std::nullopt;
  return LauncherSlot{*page, wide, *row, *column};
}

std::vector<LauncherSlot> LauncherSlot::visible(qint64 page, const LauncherGrid& grid) {
  std::vector<LauncherSlot> result;
  result.reserve(size_t(grid.capacity()));
  const qint64 smallColumns = 2 * grid.columns;
  for (qint64 i = 0; i < grid.compactCapacity(); ++i)
    result.push_back({page, false, i / smallColumns, i % smallColumns});
  for (qint64 k = 0; k < 2 * grid.columns; ++k) result.push_back({page, true, k / grid.columns, k % grid.columns});
  return result;
}

bool LauncherSlot::ordered(const LauncherSlot& a, const LauncherSlot& b) {
  return std::tuple(a.page, a.wide, a.row, a.column) < std::tuple(b.page, b.wide, b.row, b.column);
}
