#pragma once

#include "clipboard/ClipboardFavorite.h"

#include <QListView>
#include <functional>
#include <vector>

/// The one-column favorites table: each row a card 46 high showing the
/// favorite's name over the first line of its text. Single selection; a
/// double-click reports the row.
class ClipboardFavoriteTable final : public QListView {
  Q_OBJECT

 public:
  /// The model role holding a row's preview line; the display role holds its name.
  static constexpr int previewRole = Qt::UserRole + 1;
  static constexpr int rowHeight = 46;

  explicit ClipboardFavoriteTable(QWidget* parent = nullptr);
  ~ClipboardFavoriteTable() override;

  /// Shows `rows`, in order, and clears the selection without reporting it.
  void setRows(std::vector<ClipboardFavorite> rows);
  int rowCount() const;
  /// The favorites shown, in order.
  const std::vector<ClipboardFavorite>& rows() const;
  /// The selected row, or -1.
  int selectedRow() const;
  /// Selects `row` (-1: none) without scrolling and without reporting it.
  void selectRow(int row);

  /// Called when the user changes the selection.
  std::function<void()> onSelectionChanged;
  /// Called when the user double-clicks a row.
  std::function<void()> onDoubleClick;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  class Model;
  class Delegate;

  Model* m_model = nullptr;
  bool m_quiet = false;
};
