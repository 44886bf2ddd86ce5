#pragma once

#include <QWidget>

/// A settings card: its own content with the current skin's frame drawn
/// around it, wreathed in content smoke while the effect is smoke.
class QuibFramedCard : public QWidget {
  Q_OBJECT

 public:
  explicit QuibFramedCard(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
