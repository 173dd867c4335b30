#pragma once

#include <QFont>
#include <QStyledItemDelegate>

class Settings;
class ThumbnailLoader;

// The weights of the row's two title lines.
enum class FontWeight { Thin, Semibold };

// Draws a result row: the thumbnail (or a spinner while it loads) on the left,
// and the two-line title, the collection in semibold over the artist in thin,
// at most four lines, centred in the row's height.
class SearchResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kMaximumTitleLines = 4;
    static constexpr int kMargin = 5;

    SearchResultDelegate(ThumbnailLoader* thumbnails, const Settings& settings,
                         QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // 151 for "eBooks", "Movies" and "Short Films", 101 otherwise, by the stored
    // media title at the moment of asking.
    // The row height for the media kind the settings say is searched.
    int rowHeight() const;
    static int rowHeightForMedia(const QString& mediaTitle);

    static QFont titleFont(FontWeight weight);

    // Where a row's thumbnail goes: as tall as the row within its margins; a
    // square, but for posters as wide as the picture shown (`image`, empty
    // while it loads: then 2:3), so that the title begins beside the poster
    // and not beside empty space.
    static QRect thumbnailBox(const QRect& row, const QSize& image, bool posters);

    // The title rectangle of natural height `naturalHeight` centred on `base`:
    // same left and width, moved by half the difference of the heights.
    static QRectF centredTitleRect(const QRectF& base, qreal naturalHeight);

    struct TitleLayout {
        QStringList lines; // the text of each laid-out line, at most four
        qreal height = 0;  // natural height of those lines
        bool truncated = false;
    };
    // Lays out the collection's lines over the artist's in `width`.
    static TitleLayout layoutTitle(const QString& collectionName, const QString& artistName,
                                   qreal width);

private:
    ThumbnailLoader* m_thumbnails;
    const Settings& m_settings;
};
