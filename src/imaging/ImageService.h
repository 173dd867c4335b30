#pragma once

#include "imaging/ImageCache.h"

#include <QHash>
#include <QObject>
#include <QUrl>

#include <functional>

class QNetworkReply;

enum class ImageCacheType { None, Memory, Disk };

enum class ImageLoadError {
    None,
    Cancelled,     // replaced by a newer load or cancelled by the caller
    InvalidUrl,    // no URL, or not http(s)
    Network,       // no answer: refused, reset, truncated, DNS, TLS
    TimedOut,      // no answer within the transfer timeout
    HttpStatus,    // an answer other than 2xx
    NotAnImage,    // the bytes do not decode
    TooLarge,      // more bytes than any cover has
    TooManyPixels, // a header that declares more pixels than any cover has
    CutShort,      // a JPEG that ends before its image does
    ForeignHost,   // an address that is no artwork host of the catalogue's
    Redirect,      // redirected in a loop, or away from the artwork hosts
};

struct ImageLoadResult {
    CoverImage cover; // null image on failure
    ImageLoadError error = ImageLoadError::None;
    QString errorText;
    int httpStatus = 0; // the answer's status, when one arrived
    ImageCacheType cacheType = ImageCacheType::None;
    QUrl url;

    bool hasImage() const { return !cover.isNull(); }
};

// Why a load failed, in plain words for the user: "the server answered 404",
// "the data is not an image", "no connection", ...
QString failureReason(const ImageLoadResult& result);

// Loads images by URL: from memory, from disk, or downloaded through the
// application's network access (the same request policy as the search), with
// progress and cancellation. Decoding runs on the global thread pool; every
// callback runs on the GUI thread. Loads of one URL in flight share one
// download.
class NetworkAccess;
class CoverSources;

class ImageService : public QObject {
    Q_OBJECT
public:
    using Progress = std::function<void(qint64 received, qint64 expected, const QUrl& url)>;
    using Completion = std::function<void(const ImageLoadResult& result)>;
    using Token = quint64;

    // Downloads larger than this are refused.
    static constexpr qint64 kMaxImageBytes = 256LL * 1024 * 1024;

    // Artwork comes only from the hosts of `sources`.
    ImageService(ImageCache& cache, NetworkAccess& network, const CoverSources& sources,
                 QObject* parent = nullptr);
    ~ImageService() override;

    ImageCache& cache() { return m_cache; }
    NetworkAccess& network() { return m_network; }

    // Starts a load, the image decoded for a view of `box` device pixels
    // (see ImageCodec::decode; memory serves only an image made for the same
    // box); the completion runs exactly once, never before this returns.
    // `progress` hears only of a download: first (0, -1) when it starts.
    // `maxPixels`: a picture that declares more is refused before decoding.
    Token loadImage(const QUrl& url, const QSize& box, Progress progress, Completion completion,
                    qint64 maxPixels = ImageCodec::kMaxPicturePixels);
    // The load completes with ImageLoadError::Cancelled and no image.
    void cancel(Token token);

    // Downloads on the wire (for tests and diagnostics).
    int activeDownloadCount() const { return static_cast<int>(m_downloads.size()); }

private:
    struct Request {
        QUrl url;
        QString key;
        QSize box;
        Progress progress;
        Completion completion;
        qint64 maxPixels = ImageCodec::kMaxPicturePixels;
    };
    struct Download {
        QNetworkReply* reply = nullptr;
        QSize box; // what the first load asked for
        qint64 maxPixels = ImageCodec::kMaxPicturePixels;
        QList<Token> waiters;
        bool tooLarge = false;
        bool decoding = false;
    };

    void lookUpDisk(Token token);
    void joinDownload(Token token);
    void downloadFinished(const QString& key);
    void deliver(Token token, const ImageLoadResult& result);
    void deliverLater(Token token, const ImageLoadResult& result);
    // Each waiter gets the result; one that asked for another size than `box`
    // gets the picture decoded again.
    void deliverToWaiters(const QList<Token>& waiters, const ImageLoadResult& result,
                          const QSize& box = {});
    void decodeAgain(Token token, const QByteArray& bytes);
    void leaveDownload(Token token, const QString& key);

    ImageCache& m_cache;
    NetworkAccess& m_network;
    const CoverSources& m_sources;
    Token m_nextToken = 1;
    QHash<Token, Request> m_requests;
    QHash<QString, Download> m_downloads;
};
