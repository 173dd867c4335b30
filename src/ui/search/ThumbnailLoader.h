#pragma once

#include "imaging/ImageService.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QAbstractItemView;

// Thumbnails of the result rows. A row asks for its thumbnail when it is
// painted; loads of rows that scrolled far out of sight are cancelled, and all
// of them when the list is reloaded. No widget per row: the delegate draws the
// image or the spinner from the state kept here.
class ImageService;

class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QUrl url;
        QImage image;
        bool loading = false;
        bool failed = false;
        ImageService::Token token = 0;
        QImage scaled; // `image` at the device size it was last drawn at
    };

    ThumbnailLoader(ImageService& images, QAbstractItemView* view);
    ~ThumbnailLoader() override;

    // The row's entry, starting its load (decoded for `deviceSize`) when the
    // row has none yet.
    const Entry* requestThumbnail(int row, const QUrl& url, const QSize& deviceSize);
    // The row's thumbnail scaled smoothly to `deviceSize`, kept for the next paint.
    QImage scaledImage(int row, const QSize& deviceSize);
    // Cancels every load and forgets every thumbnail.
    void reset();
    // Cancels the loads of rows outside [first, last]; failed rows there are
    // forgotten, to be asked again when they scroll into view.
    void cancelOutside(int first, int last);
    // Asks again for the thumbnails that failed (the catalogue may be back).
    void retryFailed();
    bool hasFailed(int row) const { return m_entries.value(row).failed; }

    int spinnerStep() const { return m_spinnerStep; }
    bool isLoading(int row) const { return m_entries.value(row).loading; }
    int loadingCount() const;

Q_SIGNALS:
    void rowChanged(int row);

private:
    void updateVisibleRange();

    ImageService& m_images;
    QAbstractItemView* m_view;
    QHash<int, Entry> m_entries;
    QTimer m_spinner;
    int m_spinnerStep = 0;
    quint64 m_generation = 0;
};
