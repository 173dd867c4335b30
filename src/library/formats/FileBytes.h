#pragma once

#include <QByteArray>

#include <sys/stat.h>
#include <unistd.h>

// Random reads of an open file, for the checks of a rewrite: the file is read
// where a check looks, never held in memory whole.
class FileBytes {
public:
    explicit FileBytes(int fd) : m_fd(fd) {
        struct stat info {};
        m_size = ::fstat(fd, &info) == 0 ? qint64(info.st_size) : 0;
    }

    qint64 size() const { return m_size; }

    // Up to `length` bytes at `at`; fewer at the end of the file.
    QByteArray read(qint64 at, qint64 length) const {
        if (at < 0 || length <= 0 || at >= m_size) {
            return {};
        }
        QByteArray bytes(qsizetype(std::min(length, m_size - at)), '\0');
        qint64 got = 0;
        while (got < bytes.size()) {
            const ssize_t n =
                ::pread(m_fd, bytes.data() + got, size_t(bytes.size() - got), off_t(at + got));
            if (n <= 0) {
                break;
            }
            got += n;
        }
        bytes.truncate(qsizetype(got));
        return bytes;
    }

    // True when `length` bytes at `at` equal those of `other` at `otherAt`.
    bool sameAs(qint64 at, const FileBytes& other, qint64 otherAt, qint64 length) const {
        if (length < 0 || at + length > m_size || otherAt + length > other.m_size) {
            return false;
        }
        constexpr qint64 kChunk = 1 << 20;
        for (qint64 done = 0; done < length; done += kChunk) {
            const qint64 part = std::min(kChunk, length - done);
            const QByteArray mine = read(at + done, part);
            if (mine.size() != part || mine != other.read(otherAt + done, part)) {
                return false;
            }
        }
        return true;
    }

    int fd() const { return m_fd; }

private:
    int m_fd;
    qint64 m_size = 0;
};
