#include "launcher/LauncherSlot.h"

#include <QStringList>
#include <tuple>

namespace {

/// A base-10 number with an optional sign, within 0 to the key maximum.
std::optional<qint64> keyNumber(const QString& text) {
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

}  // namespace

QString LauncherSlot::key() const {
  return QStringLiteral("%1:%2:%3:%4")
      .arg(page)
      .arg(wide ? QStringLiteral("w") : QStringLiteral("s"))
      .arg(row)
      .arg(column);
}

std::optional<LauncherSlot> LauncherSlot::fromKey(const QString& key) {
  const QStringList pieces = key.split(u':', Qt::SkipEmptyParts);
  if (pieces.size() != 4) return std::nullopt;
  if (pieces[1] != u"s" && pieces[1] != u"w") return std::nullopt;
  const auto page = keyNumber(pieces[0]), row = keyNumber(pieces[2]),
             column = keyNumber(pieces[3]);
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
  for (qint64 k = 0; k < 2 * grid.columns; ++k)
    result.push_back({page, true, k / grid.columns, k % grid.columns});
  return result;
}

bool LauncherSlot::ordered(const LauncherSlot& a, const LauncherSlot& b) {
  return std::tuple(a.page, a.wide, a.row, a.column) < std::tuple(b.page, b.wide, b.row, b.column);
}
