#pragma once

#include <QString>

class QMimeData;

namespace pf {

/// The desktop's clipboard. On X11 its contents live in the program that set
/// them, so a text copied here is gone after quitting unless a clipboard
/// manager keeps it.
class Pasteboard final {
 public:
  static Pasteboard& general();

  /// Replaces the contents with plain text; false when reading it back gives
  /// something else (the desktop refused it).
  bool setString(const QString& text);
  QString string() const;
  /// The current contents in all offered formats, for reading; may be null.
  const QMimeData* contents() const;

 private:
  Pasteboard() = default;
};

}  // namespace pf
