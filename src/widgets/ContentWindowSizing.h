#pragma once

#include "platform/core/Geometry.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace pf {
class UserDefaults;
class Window;
}  // namespace pf

/// Remembers a window's content size under "contentSize." + key in the
/// window owner's defaults and gives it back when the window is made again.
/// The owner keeps it for the window's life.
class ContentWindowSizing final : public QObject {
  Q_OBJECT

 public:
  static inline const QString keyPrefix = QStringLiteral("contentSize.");

  /// Makes `window` resizable down to `minimum` and sizes it: to the size
  /// remembered in `defaults` when there is a usable one (raised to the
  /// minimum), else to `initial` kept within its screen. `fitSize`, when
  /// given, adjusts every size set here before it is applied. Afterwards every
  /// size the user gives the window is remembered; without `defaults` nothing
  /// is read or remembered.
  ContentWindowSizing(pf::Window* window, QString key, pf::UserDefaults* defaults,
                      pf::Size minimum, pf::Size initial,
                      std::function<pf::Size(pf::Size)> fitSize = {});

  /// Sizes the window to the size the user last gave it when one is
  /// remembered, else to `size`, kept between the window's minimum size and
  /// its screen's visible frame less 16 points.
  void useDefault(pf::Size size);
  /// Takes the window's present size as one the user gave it through a
  /// resize of the program's own (which the window system never reports):
  /// fits it, when a fitting is given, and remembers it.
  void userResized();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::optional<pf::Size> remembered() const;
  pf::Size fittedToScreen(pf::Size size) const;
  pf::Size minimumSize() const;
  void apply(pf::Size size);
  void remember(pf::Size size);

  QPointer<pf::Window> m_window;
  QString m_defaultsKey;
  pf::UserDefaults* m_defaults = nullptr;
  std::function<pf::Size(pf::Size)> m_fitSize;
};
