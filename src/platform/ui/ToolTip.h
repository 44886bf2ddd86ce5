#pragma once

#include <QString>

namespace pf {

/// `text` as a tooltip that shows it exactly as written, on one line per
/// line of the text. Qt shows a tooltip that merely looks like markup (a
/// name such as "<b>Bold</b>") as rich text; this one is escaped markup.
QString plainToolTip(const QString& text);

}  // namespace pf
