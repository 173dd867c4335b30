#include "SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

bool SingleInstance::activateRunningInstance() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(serviceName)) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName, objectPath, QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    call << QVariantMap();
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

bool SingleInstance::registerService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() &&
           bus.registerObject(objectPath, this, QDBusConnection::ExportAllSlots) &&
           bus.registerService(serviceName);
}

void SingleInstance::Activate(const QVariantMap&) {
    Q_EMIT activated();
}

void SingleInstance::Open(const QStringList&, const QVariantMap&) {
    Q_EMIT activated(); // Sleevanta opens no files: coming forward is all it does
}

void SingleInstance::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {
    Q_EMIT activated();
}
