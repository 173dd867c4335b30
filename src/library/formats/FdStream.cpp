#include "library/formats/FdStream.h"

#include "imaging/CheckedRewrite.h"

#include <sys/stat.h>
#include <unistd.h>

FdStream::FdStream(int fd, QByteArray name, CoverFileWriter::CheckedRewrite* rewrite)
    : m_fd(fd), m_name(std::move(name)), m_rewrite(rewrite) {}

TagLib::ByteVector FdStream::readAt(qint64 at, unsigned long length) const {
    TagLib::ByteVector bytes(static_cast<unsigned int>(length), '\0');
    qint64 got = 0;
    while (got < qint64(length)) {
        const ssize_t n =
            ::pread(m_fd, bytes.data() + got, size_t(qint64(length) - got), off_t(at + got));
        if (n <= 0) {
            break;
        }
        got += n;
    }
    bytes.resize(static_cast<unsigned int>(got));
    return bytes;
}

TagLib::ByteVector FdStream::readBlock(unsigned long length) {
    constexpr unsigned long kWindow = 4096;
    if (m_rewrite || length > kWindow) {
        TagLib::ByteVector bytes = readAt(m_position, length);
        m_position += bytes.size();
        return bytes;
    }
    const qint64 windowEnd = m_windowAt + m_window.size();
    const bool atEnd = m_window.size() < kWindow; // the window reaches the end of the file
    if (m_windowAt < 0 || m_position < m_windowAt || m_position > windowEnd ||
        (m_position + qint64(length) > windowEnd && !atEnd)) {
        m_windowAt = m_position;
        m_window = readAt(m_position, kWindow);
    }
    const TagLib::ByteVector bytes =
        m_window.mid(static_cast<unsigned int>(m_position - m_windowAt), length);
    m_position += bytes.size();
    return bytes;
}

bool FdStream::writeAt(qint64 at, const char* data, qint64 size) {
    return m_rewrite && m_rewrite->write(at, data, size);
}

void FdStream::writeBlock(const TagLib::ByteVector& data) {
    if (writeAt(m_position, data.data(), data.size())) {
        m_position += data.size();
    }
}

// Moves everything from `from` to the end so that it starts at `to`.
bool FdStream::moveTail(qint64 from, qint64 to) {
    const qint64 end = length();
    const qint64 size = end - from;
    constexpr qint64 kChunk = 1 << 20;
    if (size <= 0 || from == to) {
        return true;
    }
    if (to > from) { // growing: from the end backwards
        for (qint64 left = size; left > 0;) {
            const qint64 part = std::min(kChunk, left);
            left -= part;
            const TagLib::ByteVector bytes = readAt(from + left, static_cast<unsigned long>(part));
            if (qint64(bytes.size()) != part || !writeAt(to + left, bytes.data(), part)) {
                return false;
            }
        }
        return true;
    }
    for (qint64 done = 0; done < size;) {
        const qint64 part = std::min(kChunk, size - done);
        const TagLib::ByteVector bytes = readAt(from + done, static_cast<unsigned long>(part));
        if (qint64(bytes.size()) != part || !writeAt(to + done, bytes.data(), part)) {
            return false;
        }
        done += part;
    }
    return m_rewrite->truncate(to + size);
}

void FdStream::insert(const TagLib::ByteVector& data, unsigned long start, unsigned long replace) {
    if (!m_rewrite) {
        return;
    }
    if (data.size() != replace && !moveTail(qint64(start + replace), qint64(start + data.size()))) {
        return;
    }
    writeAt(qint64(start), data.data(), data.size());
    m_position = qint64(start + data.size());
}

void FdStream::removeBlock(unsigned long start, unsigned long length) {
    insert(TagLib::ByteVector(), start, length);
}

void FdStream::seek(long offset, Position p) {
    const qint64 base = p == Beginning ? 0 : p == Current ? m_position : length();
    m_position = std::max<qint64>(0, base + offset);
}

long FdStream::length() {
    if (m_rewrite || m_length < 0) {
        struct stat info {};
        m_length = ::fstat(m_fd, &info) == 0 ? qint64(info.st_size) : 0;
    }
    return long(m_length);
}

void FdStream::truncate(long length) {
    if (m_rewrite) {
        m_rewrite->truncate(length);
    }
}
