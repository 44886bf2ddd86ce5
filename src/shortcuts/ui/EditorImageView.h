#pragma once

#include "platform/core/Color.h"
#include "platform/gfx/Image.h"

#include <QWidget>
#include <optional>

/// A picture scaled to fit the view with its proportions kept, a template
/// picture in the view's tint.
class EditorImageView final : public QWidget {
  Q_OBJECT

 public:
  explicit EditorImageView(QWidget* parent = nullptr);

  const std::optional<pf::Image>& image() const { return m_image; }
  const std::optional<pf::Color>& tint() const { return m_tint; }
  void setImage(std::optional<pf::Image> image, std::optional<pf::Color> tint = {});

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<pf::Image> m_image;
  std::optional<pf::Color> m_tint;
};
