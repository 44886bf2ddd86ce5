#pragma once

#include "platform/core/Geometry.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

namespace pf {

/// How far in front a window stays, lowest first. Every level above `normal`
/// stays on top of ordinary windows; among our own windows a higher level is
/// kept in front of a lower one. `frontOfDock` is one above `floating`.
enum class WindowLevel { normal = 0, floating = 3, frontOfDock = 4 };

/// A top-level window with a content view, frames in y-up screen coordinates,
/// a level, a may-become-key policy, child windows that follow it, and two ways
/// to close: the user's (the close button, `performClose`), which asks
/// `shouldClose`, and the program's (`close()`), which never asks.
///
/// Posts did-move, did-resize, did-become-key and will-close notifications on
/// the default notification centre with the window as object. Closing only
/// hides the window; it is never deleted by closing.
class Window : public QWidget {
  Q_OBJECT

 public:
  static inline const QString didMoveNotification = QStringLiteral("WindowDidMove");
  static inline const QString didResizeNotification = QStringLiteral("WindowDidResize");
  static inline const QString didBecomeKeyNotification = QStringLiteral("WindowDidBecomeKey");
  static inline const QString willCloseNotification = QStringLiteral("WindowWillClose");

  /// A titled window with a close button.
  Window();
  ~Window() override;

  /// Every live window, in the order they were made.
  static std::vector<Window*> windows();

  /// Asked before a close that the user started; returning false keeps the window open.
  std::function<bool()> shouldClose;
  /// Called when the window is about to close, after the will-close notification.
  std::function<void()> onWillClose;

  /// The view that fills the window; there always is one.
  QWidget* contentView() const { return m_contentView; }
  /// Replaces the content view; the window owns it and deletes the one it replaces.
  void setContentView(QWidget* view);

  /// The content rectangle in y-up screen coordinates.
  Rect frame() const;
  /// Places the content rectangle exactly where `frame` says.
  void setFrame(const Rect& frame);
  void setFrameOrigin(Point origin);
  Size contentSize() const;
  /// Resizes the content, keeping the top-left corner in place.
  void setContentSize(Size size);
  /// Centres the window on its screen's visible frame.
  void center();

  WindowLevel level() const { return m_level; }
  /// Setting the current level again does nothing (changing it can remap the window).
  void setLevel(WindowLevel level);

  bool canBecomeKey() const { return m_canBecomeKey; }
  void setCanBecomeKey(bool canBecomeKey);
  /// True while this window has the keyboard focus.
  bool isKey() const;

  /// Shows the window and keeps our higher-level windows in front of it.
  void orderFront();
  /// Shows the window and, when it may become key, gives it the keyboard focus.
  void makeKeyAndOrderFront();
  /// Hides the window without closing it.
  void orderOut();

  /// The user's close: asks `shouldClose` first.
  void performClose();

  /// Whether the window manager offers the window's close button.
  bool isCloseButtonEnabled() const { return windowFlags().testFlag(Qt::WindowCloseButtonHint); }
  /// Offers the close button, or takes it away while closing is refused.
  void setCloseButtonEnabled(bool enabled);

  /// Makes `child` follow this window's moves and visibility.
  void addChildWindow(Window* child);
  void removeChildWindow(Window* child);
  QList<Window*> childWindows() const;
  Window* parentWindow() const { return m_parent; }

  /// A window that joins all spaces shows on every virtual desktop.
  bool joinsAllSpaces() const { return m_joinsAllSpaces; }
  void setJoinsAllSpaces(bool joins);

  /// A window that ignores the mouse lets clicks through to what lies below.
  bool ignoresMouseEvents() const;
  void setIgnoresMouseEvents(bool ignores);

  /// Asks for a transparent background; honoured only where a compositor
  /// blends it, otherwise the window stays opaque. Call before first showing.
  /// Returns whether the background is transparent.
  bool setTranslucentBackground(bool translucent);

  /// Asks the compositor to blur what lies behind `region` (rectangles in
  /// the window's own coordinates); an empty region asks for no blur. Only a
  /// compositor that offers blur (`Compositor::offersBlur`) honours it.
  void setBlurBehind(const QRegion& region);

  /// The window-modal dialog shown over this window, if any.
  QDialog* attachedSheet() const { return m_sheet; }
  void setAttachedSheet(QDialog* sheet) { m_sheet = sheet; }

 protected:
  explicit Window(Qt::WindowFlags flags);

  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  /// Puts the window in front of the others of its level.
  virtual void bringToFront();
  /// Moves the window by `delta` as its parent window moved.
  virtual void moveWithParent(QPoint delta);
  /// Gives the window the geometry (Qt's coordinates) its frame was set to.
  virtual void placeGeometry(const QRect& geometry);

  /// Changes one window flag without re-creating a window that already exists.
  void setWindowFlagLive(Qt::WindowType flag, bool on);
  /// Changes the window flags without re-creating a window that already exists.
  void setWindowFlagsLive(Qt::WindowFlags flags);

 private:
  void noteGeometry();
  void raiseHigherLevels();
  /// Tells the window manager on which desktops the window shows: by asking
  /// it when `mapped`, else through the property it reads when it maps the window.
  void applyDesktops(bool mapped);

  QWidget* m_contentView = nullptr;
  WindowLevel m_level = WindowLevel::normal;
  bool m_canBecomeKey = true;
  bool m_askBeforeClosing = false;
  bool m_joinsAllSpaces = false;
  QPointer<Window> m_parent;
  QList<QPointer<Window>> m_children;
  QList<QPointer<Window>> m_childrenHiddenWithMe;
  QPointer<QDialog> m_sheet;
  QRect m_notedGeometry;
};

}  // namespace pf
