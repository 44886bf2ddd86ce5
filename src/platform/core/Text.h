#pragma once

#include <QString>
#include <QStringList>

namespace pf {

/// Text operations whose results must not depend on the process locale: the
/// program runs under C/POSIX locales too, where Qt's defaults differ from
/// what users expect.
class Text final {
 public:
  Text() = delete;

  /// The number of user-perceived characters (extended grapheme clusters):
  /// an emoji with a skin tone, a flag or a family emoji counts once.
  static int characterCount(const QString& text);

  /// Whether `c` is white space or a line break: Unicode White_Space, which
  /// covers the space separators, U+2028, U+2029, U+0009 to U+000D and U+0085.
  static bool isWhiteSpaceOrNewline(QChar c);

  /// `text` without white space and line breaks at either end; zero-width
  /// characters such as U+200B and U+200D are kept.
  static QString trimmed(const QString& text);

  /// Lower case by the Unicode mapping, the same in every locale.
  static QString lowercased(const QString& text);

  /// Whether `text` contains `part`, ignoring case.
  static bool containsCaseInsensitive(const QString& text, const QString& part);

  /// The file browser's order: numbers inside names compare by value and case
  /// is ignored ("Item 1" < "item 2" < "Item 10"), whatever the process locale.
  /// Negative, zero or positive like `strcmp`.
  static int naturalCompare(const QString& a, const QString& b);

  /// `naturalCompare(a, b) < 0`, for sorting.
  static bool naturalLess(const QString& a, const QString& b) { return naturalCompare(a, b) < 0; }

  /// Sorts in natural order; names that compare equal keep their order.
  static void naturalSort(QStringList& list);
};

}  // namespace pf
