#include "clipboard/ui/FavoriteWindowParts.h"

#include "platform/ui/ViewStyle.h"

#include <QPushButton>

namespace FavoriteWindowParts {

void tintButton(QPushButton* button, const pf::Color& bezel) {
  pf::ViewStyle::setColor(button, pf::ViewStyle::ColorRole::bezel, bezel);
  pf::ViewStyle::setColor(button, pf::ViewStyle::ColorRole::text, pf::Color::system(QStringLiteral("white")));
}

QString sentence(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace FavoriteWindowParts
