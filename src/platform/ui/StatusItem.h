#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

namespace pf {

class Menu;

/// The application's icon in the desktop's tray, opening its menu on any
/// click. Where the desktop has no tray yet, the icon appears once one
/// starts; the owner offers the same menu elsewhere meanwhile.
class StatusItem final : public QObject {
  Q_OBJECT

 public:
  StatusItem(const QIcon& icon, Menu* menu, QObject* parent = nullptr);

  void setToolTip(const QString& text);
  void setVisible(bool visible);
  bool isVisible() const { return m_tray.isVisible(); }

 private:
  QSystemTrayIcon m_tray;
  QPointer<Menu> m_menu;
};

}  // namespace pf
