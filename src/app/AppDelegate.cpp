#include "AppDelegate.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <QGuiApplication>

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    applicationDidBecomeActive();
                }
            });
}

void AppDelegate::applicationDidBecomeActive() {
    NotificationCenter::defaultCenter().post(NotificationNames::focusOnSearchField);
}
