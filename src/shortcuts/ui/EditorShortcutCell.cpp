#include "shortcuts/ui/EditorShortcutCell.h"

#include "look/QuibTheme.h"
#include "platform/ui/ViewStyle.h"
#include "shortcuts/QuibIcons.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/EditorImageView.h"
#include "shortcuts/ui/ShortcutEditorController.h"

#include <QLabel>

namespace {

QLabel* makeLabel(QWidget* parent, int pixelSize, QFont::Weight weight) {
  auto* label = new QLabel(parent);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  label->setFont(font);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

}  // namespace

EditorShortcutCell::EditorShortcutCell(const Shortcut& item, const ShortcutStore& store, const PendingImages& pending,
                                       QWidget* parent)
    : QuibCardRow(parent) {
  setToolTip(item.destination);
  m_icon = new EditorImageView(this);
  m_icon->setImage(QuibIcons::icon(item, &store, pending), QuibIcons::color(item, &store, pending));
  m_title = makeLabel(this, 14, QFont::DemiBold);
  m_fullTitle = item.label.isEmpty() ? QStringLiteral("Untitled") : item.label;
  m_title->setText(m_fullTitle);
  m_title->setTextFormat(Qt::PlainText);
  pf::ViewStyle::setColor(m_title, pf::ViewStyle::ColorRole::text, QuibTheme::text());
  m_subtitle = makeLabel(this, 12, QFont::Normal);
  m_subtitle->setText(ShortcutEditorController::kindName(item.kind) +
                      (item.isStock() ? QStringLiteral(" · Stock") : QStringLiteral(" · Custom")));
  pf::ViewStyle::setColor(m_subtitle, pf::ViewStyle::ColorRole::text,
                          pf::Color::system(QStringLiteral("secondaryLabelColor")));
  resize(356, 44);
}

void EditorShortcutCell::resizeEvent(QResizeEvent*) {
  const int h = height();
  m_icon->setGeometry(7, h - 8 - 27, 27, 27);
  m_title->setGeometry(43, h - 21 - 20, std::max(0, width() - 53), 20);
  m_subtitle->setGeometry(43, h - 4 - 17, std::max(0, width() - 53), 17);
  m_title->setText(m_title->fontMetrics().elidedText(m_fullTitle, Qt::ElideRight, m_title->width()));
}
