#include "platform/ui/Accessibility.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileInfo>
#include <QObject>

namespace pf {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString interfaceNamespace = QStringLiteral("org.gnome.desktop.interface");
const QString animationsKey = QStringLiteral("enable-animations");

// Older portals wrap the value in one variant more than they declare.
QVariant unwrapped(QVariant value) {
  while (value.metaType() == QMetaType::fromType<QDBusVariant>()) value = qvariant_cast<QDBusVariant>(value).variant();
  return value;
}

bool sessionBusExpected() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

/// The portal's answer, read on first use and updated when the desktop changes it.
class PortalSettings final : public QObject {
  Q_OBJECT

 public:
  PortalSettings() {
    if (!sessionBusExpected()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << interfaceNamespace << animationsKey;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 500);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
      apply(reply.arguments().constFirst());
  }

  bool reduceMotion = false;
  std::optional<bool> override;

 private slots:
  void settingChanged(const QString& group, const QString& key, const QDBusVariant& value) {
    if (group == interfaceNamespace && key == animationsKey) apply(QVariant::fromValue(value));
  }

 private:
  void apply(const QVariant& answer) {
    const QVariant value = unwrapped(answer);
    if (value.metaType() == QMetaType::fromType<bool>()) reduceMotion = !value.toBool();
  }
};

PortalSettings& settings() {
  static PortalSettings instance;
  return instance;
}

}  // namespace

bool Accessibility::reduceMotion() {
  PortalSettings& s = settings();
  return s.override.value_or(s.reduceMotion);
}

void Accessibility::overrideReduceMotion(std::optional<bool> value) { settings().override = value; }

}  // namespace pf

#include "Accessibility.moc"
