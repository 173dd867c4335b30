#pragma once

// What every test program shares: a home of its own in a temporary folder,
// emptied again before each test function, so that no test sees what another
// one left behind (settings, caches, Downloads, temporary covers, observers).
#include "FixtureServer.h"
#include "imaging/ImageCache.h"
#include "imaging/TemporaryCoverFile.h"
#include "library/AppContext.h"
#include "platform/NetworkAccess.h"
#include "platform/SettingsStore.h"
#include "platform/Translations.h"
#include "sources/store/ServiceOrigins.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#ifdef QT_WIDGETS_LIB
#include <QMessageBox>
#endif
#include <QtTest>

#include <sys/stat.h>

namespace TestSupport {

inline QTemporaryDir& homeFolder() {
    static QTemporaryDir folder;
    return folder;
}

inline QString downloads() {
    return homeFolder().path() + QStringLiteral("/Downloads");
}

// Before the application object exists: every folder the program uses lies
// inside the temporary home, and nothing reaches the network by accident.
inline void enterHome() {
    const QByteArray root = QFile::encodeName(homeFolder().path());
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    qputenv("TMPDIR", root + "/tmp");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("SLEEVANTA_SERVICE_ORIGIN")) {
        qputenv("SLEEVANTA_SERVICE_ORIGIN", "http://127.0.0.1:9");
    }
}

// The test program's services, made once the application object exists:
// the first call decides the stand-ins for the desktop's own services.
inline AppContext& context(AppContext::Doubles doubles = {}) {
    static AppContext* made = new AppContext(std::move(doubles)); // lives to the end
    return *made;
}

// Empties the home and forgets what the process kept of it.
inline void resetHome() {
    AppContext& services = context();
    services.settingsStore().flush();
    TemporaryCoverFile::waitForPendingWork();
    services.cache().waitForDiskWork();
    QDir home(homeFolder().path());
    for (const QString& name :
         home.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = home.filePath(name);
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()) {
            QDir(path).removeRecursively();
        } else {
            QFile::remove(path);
        }
    }
    home.mkpath(QStringLiteral("Downloads"));
    home.mkpath(QStringLiteral("runtime"));
    home.mkpath(QStringLiteral("tmp"));
    ::chmod(QFile::encodeName(home.filePath(QStringLiteral("runtime"))).constData(), 0700);
    services.settingsStore().reload();
    services.cache().clearMemory();
    services.cache().clearDiskSync();
    services.network().setTransferTimeout(30000);
    services.network().setArtworkDeadline(180000);
    services.network().setSearchDeadline(60000);
}

// The catalogue of `server` for every service, with no fault.
inline void useServer(FixtureServer& server) {
    server.clearFaults();
    server.resetCounts();
    context().setOrigins(ServiceOrigins::singleOrigin(server.origin()));
}

inline FixtureServer::FaultConfig fault(FixtureServer::Fault kind, int status = 0) {
    FixtureServer::FaultConfig config;
    config.fault = kind;
    config.statusCode = status;
    return config;
}

// Data tables in one line per column set and per row.
template <typename... Types, typename... Names> void columns(const Names&... names) {
    (QTest::addColumn<Types>(names), ...);
}
template <typename... Values> void row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

inline QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

inline QImage filled(const QSize& size, QColor color,
                     QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(color);
    return image;
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(bytes) == bytes.size());
}

#ifdef QT_WIDGETS_LIB
// The alert a window shows now, if any.
inline QMessageBox* shownAlert(const QWidget* window) {
    for (QMessageBox* box : window->findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}
#endif

} // namespace TestSupport

#define SLEEVANTA_TEST_MAIN(TestObject, AppClass)                                                  \
    int main(int argc, char* argv[]) {                                                             \
        TestSupport::enterHome();                                                                  \
        AppClass app(argc, argv);                                                                  \
        Translations::install(Translations::Languages::EnglishOnly);                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
