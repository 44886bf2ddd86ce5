#include "platform/ui/StatusItem.h"

#include "platform/ui/Menu.h"

#include <QCursor>

namespace pf {

StatusItem::StatusItem(const QIcon& icon, Menu* menu, QObject* parent) : QObject(parent), m_tray(icon), m_menu(menu) {
  m_tray.setContextMenu(menu);
  // A status item opens its menu on the primary click too, not only on the context click.
  connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (m_menu && (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick))
      m_menu->popup(QCursor::pos());
  });
}

void StatusItem::setToolTip(const QString& text) { m_tray.setToolTip(text); }

void StatusItem::setVisible(bool visible) { m_tray.setVisible(visible); }

}  // namespace pf
