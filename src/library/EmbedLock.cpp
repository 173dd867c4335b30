#include "library/EmbedLock.h"

#include "platform/UserPaths.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

EmbedLock::EmbedLock(const QByteArray& folder, const std::atomic<bool>* stop,
                     const std::function<void()>& waiting) {
    struct stat info {};
    const auto runtime = UserPaths::perUserTemporaryDirectory();
    if (::stat(folder.constData(), &info) != 0 || !runtime) {
        m_held = true; // nowhere to meet another run: the checks of each rewrite still guard
        return;
    }
    const QString locks = *runtime + QStringLiteral("/locks");
    QDir().mkpath(locks);
    const QByteArray name = QFile::encodeName(locks) + '/' +
                            QByteArray::number(quint64(info.st_dev)) + '-' +
                            QByteArray::number(quint64(info.st_ino)) + ".lock";
    m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        m_held = true;
        return;
    }
    bool told = false;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (stop && stop->load()) {
            return;
        }
        if (!told && waiting) {
            waiting();
        }
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    m_held = true;
}

EmbedLock::~EmbedLock() {
    if (m_fd >= 0) {
        ::close(m_fd); // releases the lock
    }
}
