#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Screen-size copies of large covers in the disk cache. Decoding a large
// JPEG costs about the same at any scale (its entropy decoding is the bulk of
// the work), so a 3000-pixel cover would take tens of milliseconds each time
// it is shown again. Its copy, at most kSide pixels on its long side, decodes
// in a few. A copy only ever stands in for the picture on screen: saving,
// copying and larger views use the cover's own bytes. Files are named as
// their entries are, in a folder of their own, and the least recently used go
// first beyond kMaxCount.
class ScreenCopies {
public:
    static constexpr int kSide = 1024;
    static constexpr int kMaxCount = 500;

    explicit ScreenCopies(QString folder);

    QString folder() const { return m_folder; }
    // The copy of `entryName` decoded for `box`, when there is one large
    // enough to fill it; a damaged copy is removed.
    std::optional<QImage> decode(const QString& entryName, const QSize& box) const;
    // Whether a picture of `size` shown in `box` is worth a copy.
    static bool worthACopy(const QSize& size, const QSize& box);
    // Makes the copy of a picture from its bytes (blocking; nothing when the
    // picture is small or no picture).
    void make(const QString& entryName, const QByteArray& bytes) const;
    void remove(const QString& entryName) const;
    // Keeps the kMaxCount used last.
    void trim() const;

private:
    QString pathOf(const QString& entryName) const;

    QString m_folder;
};
