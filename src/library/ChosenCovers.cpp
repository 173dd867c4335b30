#include "library/ChosenCovers.h"

#include "library/ReplacedCovers.h"
#include "platform/UserPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

ChosenCovers::ChosenCovers(QString path) : m_path(std::move(path)) {}

QString ChosenCovers::defaultPath() {
    return UserPaths::stateDirectory() + QStringLiteral("/chosen-covers");
}

QSet<QByteArray> ChosenCovers::read() const {
    QSet<QByteArray> hashes;
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.trimmed().isEmpty()) {
                hashes.insert(line.trimmed());
            }
        }
    }
    return hashes;
}

bool ChosenCovers::contains(const QByteArray& coverBytes) const {
    return read().contains(ReplacedCovers::hashOf(coverBytes));
}

bool ChosenCovers::remember(const QByteArray& coverBytes) {
    const QByteArray hash = ReplacedCovers::hashOf(coverBytes);
    if (!QDir().mkpath(QFileInfo(m_path).path())) {
        return false;
    }
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.lock();
    if (read().contains(hash)) {
        return true;
    }
    // One line appended: an earlier choice is never rewritten, so never lost.
    QFile file(m_path);
    return file.open(QIODevice::Append) && file.write(hash + '\n') == hash.size() + 1 &&
           file.flush();
}
