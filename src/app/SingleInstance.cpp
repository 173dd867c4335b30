#include "app/SingleInstance.h"

#include "library/MusicOpening.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

bool SingleInstance::activateRunningInstance(const QStringList& uris) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(serviceName)) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName, objectPath, QStringLiteral("org.freedesktop.Application"),
        uris.isEmpty() ? QStringLiteral("Activate") : QStringLiteral("Open"));
    if (!uris.isEmpty()) {
        call << uris;
    }
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

void SingleInstance::Open(const QStringList& uris, const QVariantMap&) {
    Q_EMIT activated();
    QStringList refused;
    const QList<QByteArray> paths = MusicOpening::localPaths(uris, &refused);
    Q_EMIT opened(paths, refused);
}

void SingleInstance::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {
    Q_EMIT activated();
}
