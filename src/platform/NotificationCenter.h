#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <vector>

// A process-wide, name-addressed broadcast channel. Posting calls every
// matching observer synchronously on the posting thread; observers that touch
// widgets must hop to the GUI thread themselves when a post may come from a
// worker.
struct Notification {
    QString name;
    QVariantMap userInfo;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    using ObserverId = quint64;

    static NotificationCenter& defaultCenter();

    // The observer lives as long as `context` does; pass nullptr for an
    // observer that lives as long as the centre.
    ObserverId addObserver(const QString& name, QObject* context, Handler handler);
    void removeObserver(ObserverId id);

    void post(const QString& name, const QVariantMap& userInfo = {});

    int observerCount(const QString& name) const;
    // Drops every observer; for tests that need a clean centre.
    void reset();

private:
    struct Observer {
        ObserverId id;
        QString name;
        bool bound;
        QPointer<QObject> context;
        Handler handler;
    };

    void removeObserversOf(QObject* context);

    mutable QMutex m_mutex;
    std::vector<Observer> m_observers;
    ObserverId m_nextId = 1;
};
