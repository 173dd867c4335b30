#include "platform/UserPaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace UserPaths {

bool isPrivateFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &info) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        return false;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        return false;
    }
    return true;
}

namespace {

std::optional<QString> privateFolderInside(const QString& parent, const QString& name) {
    const QString path = QDir(parent).filePath(name);
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!isPrivateFolder(path)) {
        return std::nullopt;
    }
    return path;
}

} // namespace

std::optional<QString> perUserTemporaryDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime)) {
        if (auto folder = privateFolderInside(runtime, QStringLiteral("sleevanta"))) {
            return folder;
        }
    }
    return privateFolderInside(QDir::tempPath(), QStringLiteral("sleevanta-%1").arg(::getuid()));
}

QString stateDirectory() {
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    return (QDir::isAbsolutePath(configured) ? configured
                                             : QDir::homePath() + QStringLiteral("/.local/state")) +
           QStringLiteral("/Sleevanta");
}

QString imageCacheDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Sleevanta/images");
}

QString downloadsDirectory() {
    const QString location = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!location.isEmpty()) {
        return location;
    }
    return QDir::homePath() + QStringLiteral("/Downloads");
}

} // namespace UserPaths
