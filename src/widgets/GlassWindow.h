#pragma once

#include "platform/core/Geometry.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class ContentWindowLayout;
class ContentWindowSizing;
class GlassSurface;

namespace pf {
class UserDefaults;
class Window;
}  // namespace pf

/// A titled, closable window with the skin's appearance and a glass content
/// view at the base size its controls are drawn for. Once the controls stand
/// at their base frames, `arrange` keeps them in proportion as the window is
/// resized and remembers the size the user gives it. The owner keeps it for
/// the window's life; the window goes with it.
class GlassWindow final {
 public:
  /// How the window grows and what it remembers.
  struct Sizing {
    /// The frame whose scroll view takes the extra height; without one every control scales.
    std::optional<pf::Rect> stretchFrame{};
    /// Whether the controls' small type is enlarged.
    bool readable = true;
    /// The size is remembered under "contentSize." + key in `defaults` (nothing is, without defaults).
    QString key{};
    pf::UserDefaults* defaults = nullptr;
    pf::Size minimum{};
    pf::Size initial{};
    /// Called after every layout pass, the first sizing's included.
    std::function<void()> onLayout{};
  };

  /// Makes `window` (a plain one unless given) titled `title`, with a glass content view of `baseSize`.
  GlassWindow(const QString& title, pf::Size baseSize, std::unique_ptr<pf::Window> window = {});
  ~GlassWindow();

  /// The window.
  pf::Window* window() const { return m_window.get(); }
  /// The glass content view the controls go into.
  GlassSurface* content() const { return m_content; }
  /// Keeps the content in proportion from now on, sizes the window (to the
  /// remembered size when there is one) and centres it. Called once, after
  /// the controls stand at their base frames.
  void arrange(const Sizing& sizing);
  /// The proportional layout, once arranged.
  ContentWindowLayout* layout() const { return m_layout.get(); }

 private:
  // Declared first so it goes last: the layout and the sizing watch the window and its content.
  std::unique_ptr<pf::Window> m_window;
  GlassSurface* m_content = nullptr;
  std::unique_ptr<ContentWindowLayout> m_layout;
  std::unique_ptr<ContentWindowSizing> m_sizing;
};
