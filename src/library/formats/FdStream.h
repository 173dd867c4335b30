#pragma once

#include <QByteArray>

#include <taglib/tiostream.h>

namespace CoverFileWriter {
class CheckedRewrite;
}

// TagLib's view of an open file. Reading only, or, given a rewrite, writing
// into the rewrite's copy, where every failed write is recorded (TagLib's own
// file stream drops what fwrite says, so a full disk would pass unseen). The
// original of a rewrite is only ever read. A read-only stream keeps its
// length and the last few kilobytes it read: TagLib asks for both in many
// small steps, and a library scan opens thousands of files.
class FdStream : public TagLib::IOStream {
public:
    FdStream(int fd, QByteArray name, CoverFileWriter::CheckedRewrite* rewrite = nullptr);

    TagLib::FileName name() const override { return m_name.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return m_rewrite == nullptr; }
    bool isOpen() const override { return m_fd >= 0; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return long(m_position); }
    long length() override;
    void truncate(long length) override;

protected:
    TagLib::ByteVector readAt(qint64 at, unsigned long length) const;

private:
    bool writeAt(qint64 at, const char* data, qint64 size);
    bool moveTail(qint64 from, qint64 to);

    int m_fd;
    QByteArray m_name;
    CoverFileWriter::CheckedRewrite* m_rewrite;
    qint64 m_position = 0;
    qint64 m_length = -1;
    qint64 m_windowAt = -1; // none read yet
    TagLib::ByteVector m_window;
};
