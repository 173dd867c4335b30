#pragma once

#include <QObject>
#include <QVariantMap>

// One Sleevanta per session. The first start owns org.sleevanta.Sleevanta on
// the session bus and answers the org.freedesktop.Application interface there
// (as GNOME and KDE launchers expect of a D-Bus activatable application); a
// later start asks it to come forward (and open its files) and ends. Without a session bus every
// start runs on its own.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    static inline const QString serviceName = QStringLiteral("org.sleevanta.Sleevanta");
    static inline const QString objectPath = QStringLiteral("/org/sleevanta/Sleevanta");

    // True when another instance runs and has been asked to come forward,
    // opening `uris` (file: URIs of music) when there are any.
    static bool activateRunningInstance(const QStringList& uris = {});

    explicit SingleInstance(QObject* parent = nullptr);
    // Owns the name and serves the interface; false without a session bus or
    // when another instance owns the name.
    bool registerService();

public Q_SLOTS:
    // org.freedesktop.Application
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

Q_SIGNALS:
    void activated();
    // Local files and folders to open (the bytes the file system has), and
    // the URIs that name none.
    void opened(const QList<QByteArray>& paths, const QStringList& refused);
};
