#pragma once

#include "platform/core/Color.h"
#include "platform/gfx/Image.h"

#include <QWidget>
#include <optional>

/// A picture scaled to fit the view with its proportions kept, a template
/// picture in the view's tint. The tint is kept as the look's colour it was
/// given, where a look change finds it and swaps it for the new palette's.
class EditorImageView final : public QWidget {
  Q_OBJECT

 public:
  explicit EditorImageView(QWidget* parent = nullptr);

  const std::optional<pf::Image>& image() const { return m_image; }
  std::optional<pf::Color> tint() const;
  void setImage(std::optional<pf::Image> image, std::optional<pf::Color> tint = {});

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<pf::Image> m_image;
};
