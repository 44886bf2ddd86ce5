#pragma once

#include <QString>

/// Shows user text, and system text that may quote it, exactly as written:
/// never read as markup, nor "&" as a keyboard mnemonic.
class PlainText final {
 public:
  PlainText() = delete;

  /// A tool tip showing `text` as written (tool tips read anything that looks
  /// like markup as markup), its spaces and line breaks kept.
  static QString toolTip(const QString& text);
  /// A button title showing `text` as written.
  static QString buttonTitle(const QString& text);
};
