#pragma once

#include <QObject>

// The application's own reactions: activation puts the focus back into the
// search field.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject* parent = nullptr);

    void applicationDidBecomeActive();
};
