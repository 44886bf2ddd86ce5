#pragma once

#include "platform/core/Color.h"
#include "platform/gfx/Image.h"

#include <QWidget>
#include <optional>

/// An image view showing one of the program's symbols, scaled proportionally
/// to fit and centred, in a tint kept as the look's colour it was given, so a
/// change of colour theme can swap it.
class SymbolView final : public QWidget {
  Q_OBJECT

 public:
  /// The symbol `name` (nothing drawn when the set has no such symbol), with
  /// `description` as its accessible name; an empty description hides it
  /// from assistive technology.
  SymbolView(const QString& name, const pf::Color& tint, const QString& description = {}, QWidget* parent = nullptr);

  const QString& name() const { return m_name; }
  pf::Color tint() const;

  /// Lets the symbol glow in its tint: a soft shadow of `radius` all round.
  void setGlow(double radius, double opacity);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_name;
  std::optional<pf::Image> m_image;
};
