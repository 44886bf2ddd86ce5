#include "widgets/ContentWindowLayout.h"

#include "platform/core/QtGeometry.h"
#include "widgets/ReadableFonts.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QHeaderView>
#include <QScrollArea>
#include <QTableView>
#include <QWidget>

namespace {

// A table sized by its scroll view: the last column takes the room the others leave.
void fitTable(QWidget* subview) {
  if (auto* area = qobject_cast<QScrollArea*>(subview)) {
    QWidget* content = area->widget();
    if (content && !area->widgetResizable())
      content->resize(area->viewport()->width(), content->height());
    subview = content;
  }
  auto* table = qobject_cast<QTableView*>(subview);
  if (!table || !table->model() || table->model()->columnCount() == 0) return;
  QHeaderView* header = table->horizontalHeader();
  const int last = header->logicalIndex(header->count() - 1);
  int others = 0;
  for (int i = 0; i < header->count(); ++i)
    if (header->logicalIndex(i) != last && !header->isSectionHidden(header->logicalIndex(i)))
      others += header->sectionSize(header->logicalIndex(i));
  const int room = table->viewport()->width() - others;
  if (room > 0) header->resizeSection(last, room);
}

}  // namespace

ContentWindowLayout::ContentWindowLayout(QWidget* view, std::optional<pf::Rect> stretchArea,
                                         bool readable)
    : m_view(view), m_stretchArea(stretchArea) {
  if (!view) return;
  if (readable) ReadableFonts::enlarge(view);
  m_baseSize = pf::toSize(QSizeF(view->size()));
  for (QObject* child : view->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget || widget->isWindow()) continue;
    const pf::Rect base = pf::childFrameToYUp(QRectF(widget->geometry()), m_baseSize.height);
    m_subviews.push_back({widget, base,
                          ContentLayoutRules::role(base, m_baseSize,
                                                   ReadableFonts::isScrollView(widget),
                                                   stretchArea)});
  }
  view->installEventFilter(this);
}

void ContentWindowLayout::restoreBaseFrames() {
  if (!m_view) return;
  const double height = m_view->height();
  for (const Subview& subview : m_subviews)
    if (subview.widget)
      subview.widget->setGeometry(pf::childFrameToQtPixels(subview.base, height));
}

bool ContentWindowLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_view && event->type() == QEvent::Resize) layOut();
  return false;
}

void ContentWindowLayout::layOut() {
  const pf::Size current = pf::toSize(QSizeF(m_view->size()));
  for (const Subview& subview : m_subviews) {
    if (!subview.widget) continue;
    const pf::Rect frame =
        ContentLayoutRules::frame(subview.role, subview.base, m_baseSize, current, m_stretchArea);
    subview.widget->setGeometry(pf::childFrameToQtPixels(frame, current.height));
    fitTable(subview.widget);
  }
  if (onLayout) onLayout();
}
