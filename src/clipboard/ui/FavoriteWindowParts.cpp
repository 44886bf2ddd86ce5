#include "clipboard/ui/FavoriteWindowParts.h"

#include "launcher/ui/GlassSurface.h"
#include "look/QuibSkin.h"
#include "look/QuibTheme.h"
#include "platform/core/QtGeometry.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"

#include <QLabel>
#include <QPushButton>

namespace FavoriteWindowParts {

std::unique_ptr<pf::Window> glassWindow(const QString& title, pf::Size size) {
  auto window = std::make_unique<pf::Window>();
  window->setWindowTitle(title);
  pf::ViewStyle::setAppearance(window.get(), QuibSkin::appearance());
  window->setContentSize(size);
  auto* content = new GlassSurface;
  content->resize(int(size.width), int(size.height));
  window->setContentView(content);
  return window;
}

void place(QWidget* widget, const pf::Rect& frame, double contentHeight) {
  widget->setGeometry(pf::childFrameToQtPixels(frame, contentHeight));
}

QLabel* label(QWidget* parent, const QString& text, int pixelSize) {
  auto* made = new QLabel(text, parent);
  made->setTextFormat(Qt::PlainText);
  QFont font = made->font();
  font.setPixelSize(pixelSize);
  made->setFont(font);
  pf::ViewStyle::setColor(made, pf::ViewStyle::ColorRole::text, QuibTheme::text());
  return made;
}

QLabel* statusLabel(QWidget* parent, int pixelSize, const pf::Color& color) {
  QLabel* made = label(parent, {}, pixelSize);
  made->setWordWrap(true);
  made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pf::ViewStyle::setColor(made, pf::ViewStyle::ColorRole::text, color);
  return made;
}

QPushButton* button(QWidget* parent, const QString& title) {
  auto* made = new QPushButton(title, parent);
  made->setAutoDefault(false);
  made->setDefault(false);
  return made;
}

void tintButton(QPushButton* button, const pf::Color& bezel) {
  pf::ViewStyle::setColor(button, pf::ViewStyle::ColorRole::bezel, bezel);
  pf::ViewStyle::setColor(button, pf::ViewStyle::ColorRole::text, pf::Color::system(QStringLiteral("white")));
}

}  // namespace FavoriteWindowParts
