#include "clipboard/ui/ClipboardFavoriteTable.h"

#include "clipboard/ClipboardFavoritesQuery.h"
#include "look/QuibTheme.h"
#include "look/ui/QuibCardRow.h"
#include "look/ui/QuibContentSmoke.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/ViewStyle.h"

#include <QAbstractListModel>
#include <QPainter>
#include <QStyledItemDelegate>

class ClipboardFavoriteTable::Model final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  void setRows(std::vector<ClipboardFavorite> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
  }

  const std::vector<ClipboardFavorite>& rows() const { return m_rows; }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : int(m_rows.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || std::size_t(index.row()) >= m_rows.size()) return {};
    const ClipboardFavorite& row = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return row.name;
    if (role == previewRole) return ClipboardFavoritesQuery::firstLine(row.text);
    return {};
  }

 private:
  std::vector<ClipboardFavorite> m_rows;
};

/// Draws a row as a card: the name on top, the preview line below in the secondary colour.
class ClipboardFavoriteTable::Delegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), rowHeight};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect row = option.rect;
    painter->save();
    painter->translate(row.topLeft());
    {
      pf::PainterCanvas canvas(*painter, row.height());
      const pf::Rect bounds(0, 0, row.width(), row.height());
      QuibCardRow::drawBackground(canvas, bounds);
      if (option.state & QStyle::State_Selected) QuibCardRow::drawSelection(canvas, bounds);
    }
    const int textWidth = std::max(row.width() - 16, 0);
    drawLine(*painter, index.data(Qt::DisplayRole).toString(), QRect(8, 3, textWidth, 20), 14,
             pf::toQColor(QuibTheme::text()));
    drawLine(*painter, index.data(previewRole).toString(), QRect(8, 24, textWidth, 18), 13,
             pf::toQColor(pf::Color::system(QStringLiteral("secondaryLabelColor")),
                          pf::ViewStyle::effectiveAppearance(option.widget)));
    painter->restore();
  }

 private:
  static void drawLine(QPainter& painter, const QString& text, const QRect& frame, int pixelSize,
                       const QColor& color) {
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(color);
    const QString elided = painter.fontMetrics().elidedText(text, Qt::ElideRight, frame.width(), Qt::TextSingleLine);
    painter.drawText(frame, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
  }
};

ClipboardFavoriteTable::ClipboardFavoriteTable(QWidget* parent)
    : QListView(parent), m_model(new Model(this)) {
  setModel(m_model);
  setItemDelegate(new Delegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);
  setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
  setAccessibleName(QStringLiteral("Saved clipboard items"));
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!m_quiet && onSelectionChanged) onSelectionChanged();
  });
  connect(this, &QAbstractItemView::doubleClicked, this, [this] {
    if (onDoubleClick) onDoubleClick();
  });
}

ClipboardFavoriteTable::~ClipboardFavoriteTable() = default;

void ClipboardFavoriteTable::setRows(std::vector<ClipboardFavorite> rows) {
  m_quiet = true;
  m_model->setRows(std::move(rows));
  m_quiet = false;
}

int ClipboardFavoriteTable::rowCount() const { return m_model->rowCount(); }

const std::vector<ClipboardFavorite>& ClipboardFavoriteTable::rows() const { return m_model->rows(); }

int ClipboardFavoriteTable::selectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void ClipboardFavoriteTable::selectRow(int row) {
  m_quiet = true;
  if (row < 0) {
    selectionModel()->clear();
  } else {
    // A refresh keeps the table where the user scrolled it.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    setAutoScroll(scrolls);
  }
  m_quiet = false;
}

void ClipboardFavoriteTable::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  std::vector<pf::Rect> cards;
  const double height = viewport()->height();
  for (int row = indexAt(QPoint(0, 0)).row(); row >= 0 && row < rowCount(); ++row) {
    const QRect rect = visualRect(m_model->index(row));
    if (rect.top() >= height) break;
    const pf::Rect card = QuibCardRow::cardRect(pf::Rect(rect.x(), height - rect.bottom() - 1, rect.width(),
                                                         rect.height()));
    if (!card.isNull()) cards.push_back(card);
  }
  QuibContentSmoke::update(viewport(), cards);
}
