#pragma once

#include "character/CharacterSkin.h"
#include "character/ui/CharacterArtwork.h"
#include "platform/core/Geometry.h"

#include <QImage>
#include <QList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

class QMimeData;

/// The companion's view: draws the character, moves its window when dragged,
/// reports right-clicks and takes file drops. Fills its window.
class RobotView final : public QWidget {
  Q_OBJECT

 public:
  explicit RobotView(QString assetRoot, QWidget* parent = nullptr);
  ~RobotView() override;

  /// Takes the dropped file URLs and answers whether the drop is taken;
  /// without it every drop is refused.
  std::function<bool(const QList<QUrl>&)> onFilesDropped;
  /// A right-click or Control-click, at a point in y-up screen coordinates.
  std::function<void(pf::Point)> onRightClick;
  /// The pointer entered (true) or left (false) the companion.
  std::function<void(bool)> onHover;
  /// The companion was pressed with the left button.
  std::function<void()> onPress;
  /// The user started and finished dragging the companion (its window moves meanwhile).
  std::function<void()> onDragStarted;
  std::function<void()> onDragEnded;

  void setCharacter(CharacterSkin skin, Facing facing);
  CharacterSkin character() const { return m_skin; }
  Facing facing() const { return m_facing; }
  /// False when the character's drawing could not be read and a placeholder shows.
  bool hasArtwork() const { return m_artwork->isValid(); }
  /// The view's size for the current character at `height` points.
  pf::Size sizeForHeight(double height) const;

  /// The character's drawing at the view's size.
  const QImage& figure() const { return m_image; }
  /// Leaves the figure undrawn while something else (a performance) shows it.
  void setFigureHidden(bool hidden);
  bool isFigureHidden() const { return m_figureHidden; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void rebuildImage();
  /// Fits the window's shape to the figure, so clicks around it reach what lies below.
  void applyShape();
  bool acceptsDrop(const QMimeData* data) const;

  QString m_assetRoot;
  CharacterSkin m_skin = CharacterSkin::companionBlue;
  Facing m_facing = Facing::right;
  std::unique_ptr<CharacterArtwork> m_artwork;
  /// The drawing at the view's size, made again only when the size or character changes.
  QImage m_image;
  QPointF m_pressGlobal;
  pf::Point m_pressOrigin;
  bool m_pressed = false;
  bool m_dragging = false;
  bool m_figureHidden = false;
};
