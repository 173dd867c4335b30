#include "ui/common/ColorScheme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStyle>
#include <QToolButton>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// The portal's answer may come wrapped in a variant or two (Read wraps twice).
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

} // namespace

ColorScheme::ColorScheme(QObject* parent) : QObject(parent), m_original(QApplication::palette()) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    // The slot takes the whole message: Qt 6.4 refuses to connect a slot that
    // takes a QDBusVariant, and nothing would be followed.
    if (!bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                     SLOT(settingChanged(QDBusMessage)))) {
        qWarning("Changes of the desktop's colour scheme will not be followed: %s",
                 qPrintable(bus.lastError().message()));
    }
    read();
}

// ReadOne first; portals older than version 2 have only Read.
void ColorScheme::read() {
    const auto ask = [this](const QString& method, auto onError) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
        call << kGroup << kKey;
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, 2000), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, watcher, onError](QDBusPendingCallWatcher*) {
                    watcher->deleteLater();
                    const QDBusPendingReply<QDBusVariant> reply = *watcher;
                    if (reply.isError()) {
                        onError();
                    } else {
                        applyValue(reply.value().variant());
                    }
                });
    };
    ask(QStringLiteral("ReadOne"), [ask] { ask(QStringLiteral("Read"), [] {}); });
}

void ColorScheme::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == kGroup &&
        arguments[1].toString() == kKey) {
        applyValue(arguments[2]);
    }
}

void ColorScheme::applyValue(const QVariant& value) {
    const QVariant scheme = unwrapped(value);
    bool ok = false;
    const uint number = scheme.toUInt(&ok);
    apply(ok && number <= 2 ? Preference(number) : Preference::None);
}

void ColorScheme::apply(Preference preference) {
    const bool dark = preference == Preference::Dark;
    if (dark == isDark(QApplication::palette())) {
        return; // as asked already, by the platform or by us
    }
    if (dark && isDark(m_original)) {
        QApplication::setPalette(m_original);
    } else if (dark) {
        QApplication::setPalette(darkPalette());
    } else if (m_ours || !isDark(m_original)) {
        QApplication::setPalette(m_original);
    }
    m_ours = dark && !isDark(m_original);
    // Icons drawn in the text colour are drawn again in the new one.
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->objectName() == QLatin1String("qt_menubar_ext_button")) {
            auto* button = static_cast<QToolButton*>(widget);
            button->setIcon(button->style()->standardIcon(
                QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, button));
        }
    }
}

bool ColorScheme::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QPalette ColorScheme::darkPalette() {
    const QColor window(0x2B, 0x2B, 0x2E);
    const QColor base(0x1E, 0x1E, 0x20);
    const QColor text(0xE8, 0xE8, 0xEA);
    const QColor disabled(0x80, 0x80, 0x86);
    const QColor highlight(0x3D, 0x7A, 0xD6);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window.lighter(110));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window.lighter(120));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, window.lighter(160));
    p.setColor(QPalette::Midlight, window.lighter(130));
    p.setColor(QPalette::Mid, window.lighter(150));
    p.setColor(QPalette::Dark, window.darker(140));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, highlight.lighter(130));
    p.setColor(QPalette::LinkVisited, highlight.lighter(110));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabled);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, window.lighter(140));
    return p;
}
