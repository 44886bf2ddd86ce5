#include "platform/ui/ToolTip.h"

#include <QTextDocument>

namespace pf {

QString plainToolTip(const QString& text) {
  return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

}  // namespace pf
