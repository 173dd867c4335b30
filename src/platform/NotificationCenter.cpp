#include "platform/NotificationCenter.h"

#include <QMutexLocker>

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(const QString& name,
                                                               QObject* context, Handler handler) {
    ObserverId id = 0;
    {
        QMutexLocker lock(&m_mutex);
        id = m_nextId++;
        m_observers.push_back(Observer{id, name, context != nullptr, context, std::move(handler)});
    }
    if (context) {
        // Direct connection: the entry must be gone before the object's
        // members are torn down, whatever thread it lives on.
        QObject::connect(
            context, &QObject::destroyed, context, [this, context] { removeObserversOf(context); },
            Qt::DirectConnection);
    }
    return id;
}

void NotificationCenter::removeObserver(ObserverId id) {
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_observers, [id](const Observer& o) { return o.id == id; });
}

void NotificationCenter::removeObserversOf(QObject* context) {
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_observers,
                  [context](const Observer& o) { return o.bound && o.context == context; });
    // QPointer is already null while `destroyed` is emitted, so also drop the
    // bound entries whose context went away.
    std::erase_if(m_observers, [](const Observer& o) { return o.bound && o.context.isNull(); });
}

void NotificationCenter::post(const QString& name, const QVariantMap& userInfo) {
    std::vector<std::pair<ObserverId, Handler>> targets;
    {
        QMutexLocker lock(&m_mutex);
        for (const Observer& o : m_observers) {
            if (o.name == name && (!o.bound || !o.context.isNull())) {
                targets.emplace_back(o.id, o.handler);
            }
        }
    }
    const Notification notification{name, userInfo};
    for (auto& [targetId, handler] : targets) {
        const ObserverId id = targetId;
        // An observer removed by an earlier handler of this same post is skipped.
        bool stillThere = false;
        {
            QMutexLocker lock(&m_mutex);
            stillThere =
                std::any_of(m_observers.begin(), m_observers.end(), [id](const Observer& o) {
                    return o.id == id && (!o.bound || !o.context.isNull());
                });
        }
        if (stillThere) {
            handler(notification);
        }
    }
}

int NotificationCenter::observerCount(const QString& name) const {
    QMutexLocker lock(&m_mutex);
    return int(std::count_if(m_observers.begin(), m_observers.end(),
                             [&name](const Observer& o) { return o.name == name; }));
}

void NotificationCenter::reset() {
    QMutexLocker lock(&m_mutex);
    m_observers.clear();
}
