#include "clipboard/EditedText.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

/// Where each position of `shown` lies in `original`, one more than `shown`
/// has characters; nothing when `shown` is not `original` with its line
/// breaks made line feeds.
std::optional<std::vector<qsizetype>> positionsIn(const QString& original, const QString& shown) {
  std::vector<qsizetype> positions;
  positions.reserve(std::size_t(shown.size()) + 1);
  qsizetype at = 0;
  for (const QChar c : shown) {
    if (at == original.size()) return std::nullopt;
    positions.push_back(at);
    const QChar was = original[at];
    if (c == u'\n' && was == u'\r' && at + 1 < original.size() && original[at + 1] == u'\n')
      at += 2;
    else if (c == was || (c == u'\n' && (was == u'\r' || was == QChar::ParagraphSeparator)))
      at += 1;
    else
      return std::nullopt;
  }
  if (at != original.size()) return std::nullopt;
  positions.push_back(at);
  return positions;
}

}  // namespace

QString EditedText::merged(const QString& original, const QString& shownBefore, const QString& shownNow) {
  const auto positions = positionsIn(original, shownBefore);
  if (!positions) return shownNow;
  const qsizetype shortest = std::min(shownBefore.size(), shownNow.size());
  qsizetype head = 0;
  while (head < shortest && shownBefore[head] == shownNow[head]) ++head;
  qsizetype tail = 0;
  while (tail < shortest - head &&
         shownBefore[shownBefore.size() - 1 - tail] == shownNow[shownNow.size() - 1 - tail])
    ++tail;
  const qsizetype keptEnd = (*positions)[std::size_t(shownBefore.size() - tail)];
  return original.left((*positions)[std::size_t(head)]) +
         shownNow.mid(head, shownNow.size() - tail - head) + original.mid(keptEnd);
}
