#include "imaging/ImageService.h"

#include "sources/CoverSource.h"

#include "platform/NetworkAccess.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

ImageLoadResult failure(const QUrl& url, ImageLoadError error, const QString& text) {
    ImageLoadResult result;
    result.url = url;
    result.error = error;
    result.errorText = text;
    return result;
}

// What a download's bytes are: a picture within bounds, decoded for the box,
// or why not. A JPEG is kept only up to the end of its image.
// Decoded images are kept per size asked for: a list's small thumbnail must
// not be served to a view that wants the picture larger.
QString memoryKey(const QString& key, const QSize& box) {
    return key + QStringLiteral("\n%1x%2").arg(box.width()).arg(box.height());
}

ImageLoadResult decodeDownload(QByteArray bytes, const QSize& box, qint64 maxPixels) {
    ImageLoadResult result;
    if (ImageCodec::isJpeg(bytes)) {
        std::optional<QByteArray> image = ImageCodec::jpegImage(bytes);
        if (!image) {
            result.error = ImageLoadError::CutShort;
            result.errorText = QStringLiteral("the JPEG ends before its image does");
            return result;
        }
        bytes = std::move(*image);
    }
    const ImageCodec::PictureInfo info = ImageCodec::pictureInfo(bytes);
    if (info.size.isValid() && qint64(info.size.width()) * info.size.height() > maxPixels) {
        result.error = ImageLoadError::TooManyPixels;
        result.errorText = QCoreApplication::translate("ImageService", "%1 × %2 pixels")
                               .arg(info.size.width())
                               .arg(info.size.height());
        return result;
    }
    result.cover = ImageCodec::decodeCover(bytes, box, maxPixels);
    if (result.cover.isNull()) {
        result.error = ImageLoadError::NotAnImage;
        result.errorText = QStringLiteral("the data is no image");
    }
    return result;
}

} // namespace

QString failureReason(const ImageLoadResult& result) {
    switch (result.error) {
    case ImageLoadError::None:
        return {};
    case ImageLoadError::Cancelled:
        return QCoreApplication::translate("ImageService", "the download was cancelled");
    case ImageLoadError::InvalidUrl:
        return QCoreApplication::translate("ImageService", "the cover has no address");
    case ImageLoadError::Network:
        return QCoreApplication::translate("ImageService", "no connection");
    case ImageLoadError::TimedOut:
        return result.errorText.isEmpty()
                   ? QCoreApplication::translate("ImageService", "the transfer stalled")
                   : result.errorText;
    case ImageLoadError::HttpStatus:
        return QCoreApplication::translate("ImageService", "the server answered %1")
            .arg(result.httpStatus);
    case ImageLoadError::NotAnImage:
        return QCoreApplication::translate("ImageService", "the data is not an image");
    case ImageLoadError::TooLarge:
        return QCoreApplication::translate("ImageService", "the cover is too large");
    case ImageLoadError::TooManyPixels:
        return QCoreApplication::translate("ImageService",
                                           "the picture declares %1, more than any cover has")
            .arg(result.errorText);
    case ImageLoadError::CutShort:
        return QCoreApplication::translate("ImageService", "the picture is cut short");
    case ImageLoadError::ForeignHost:
        return QCoreApplication::translate("ImageService", "artwork not from the catalogue");
    case ImageLoadError::Redirect:
        return result.errorText;
    }
    return {};
}

ImageService::ImageService(ImageCache& cache, NetworkAccess& network, const CoverSources& sources,
                           QObject* parent)
    : QObject(parent), m_cache(cache), m_network(network), m_sources(sources) {}

ImageService::~ImageService() {
    for (auto it = m_downloads.begin(); it != m_downloads.end(); ++it) {
        if (QNetworkReply* reply = it->reply) {
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
    }
}

ImageService::Token ImageService::loadImage(const QUrl& url, const QSize& box, Progress progress,
                                            Completion completion, qint64 maxPixels) {
    const Token token = m_nextToken++;
    const QString key = url.toString(QUrl::FullyEncoded);
    m_requests.insert(
        token, Request{url, key, box, std::move(progress), std::move(completion), maxPixels});

    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        deliverLater(token, failure(url, ImageLoadError::InvalidUrl,
                                    QStringLiteral("not an image address: %1").arg(key)));
        return token;
    }
    if (!m_sources.isArtworkUrl(url)) {
        // Nothing is asked of a host the catalogue's artwork does not come from.
        deliverLater(token, failure(url, ImageLoadError::ForeignHost, url.host()));
        return token;
    }
    if (auto cached = m_cache.imageFromMemory(memoryKey(key, box))) {
        ImageLoadResult result;
        result.cover = *cached;
        result.cacheType = ImageCacheType::Memory;
        result.url = url;
        deliverLater(token, result);
        return token;
    }
    lookUpDisk(token);
    return token;
}

void ImageService::lookUpDisk(Token token) {
    const Request& request = m_requests[token];
    const QString key = request.key;
    m_cache.imageFromDisk(key, request.box, this,
                          [this, token, key](std::optional<CoverImage> cached) {
                              if (!m_requests.contains(token)) {
                                  return;
                              }
                              if (!cached) {
                                  joinDownload(token);
                                  return;
                              }
                              m_cache.storeInMemory(memoryKey(key, m_requests[token].box), *cached);
                              ImageLoadResult result;
                              result.cover = std::move(*cached);
                              result.cacheType = ImageCacheType::Disk;
                              result.url = m_requests[token].url;
                              deliver(token, result);
                          });
}

void ImageService::joinDownload(Token token) {
    if (const Progress progress = m_requests[token].progress) {
        progress(0, -1, m_requests[token].url); // to the network: nothing known yet
        if (!m_requests.contains(token)) {
            return; // the handler gave the load up
        }
    }
    const Request& request = m_requests[token];
    const QString key = request.key;
    auto existing = m_downloads.find(key);
    if (existing != m_downloads.end()) {
        existing->waiters.append(token);
        return;
    }

    QNetworkReply* reply = m_network.manager().get(m_network.artworkRequest(request.url));
    Download& download = m_downloads[key];
    download.reply = reply;
    download.box = request.box;
    download.maxPixels = request.maxPixels;
    download.waiters.append(token);

    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, key, reply](qint64 received, qint64 expected) {
                auto it = m_downloads.find(key);
                if (it == m_downloads.end() || it->reply != reply) {
                    return;
                }
                if (received > kMaxImageBytes || expected > kMaxImageBytes) {
                    it->tooLarge = true;
                    reply->abort();
                    return;
                }
                // Without a Content-Length the size stays unknown to the end, also
                // when the final report offers the received count as the total.
                if (!reply->header(QNetworkRequest::ContentLengthHeader).isValid()) {
                    expected = -1;
                }
                const QUrl url = reply->url();
                const QList<Token> waiters = it->waiters;
                for (Token waiter : waiters) {
                    auto request = m_requests.constFind(waiter);
                    if (request != m_requests.constEnd() && request->progress) {
                        // Copied: a progress handler may cancel its own load.
                        const Progress progress = request->progress;
                        progress(received, expected, url);
                    }
                }
            });
    // An announced size is refused as soon as the headers arrive: progress is
    // reported at most every 100 ms, and only when more data comes.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, key, reply] {
        auto it = m_downloads.find(key);
        if (it != m_downloads.end() && it->reply == reply &&
            reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxImageBytes) {
            it->tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, key] { downloadFinished(key); });
    NetworkAccess::guardRedirects(reply,
                                  [sources = &m_sources, from = request.url](const QUrl& to) {
                                      return sources->allowsRedirect(from, to);
                                  });
    // A transfer that never ends ends here, as a time-out.
    NetworkAccess::endAtDeadline(reply, m_network.artworkDeadline());
}

void ImageService::downloadFinished(const QString& key) {
    auto it = m_downloads.find(key);
    if (it == m_downloads.end() || !it->reply) {
        return;
    }
    QNetworkReply* reply = it->reply;
    it->reply = nullptr;
    reply->deleteLater();
    const QUrl url = m_requests.value(it->waiters.value(0)).url;
    const NetworkAccess::ReplyOutcome outcome =
        NetworkAccess::readFinishedReply(reply, false, it->tooLarge);

    using Failure = NetworkAccess::Failure;
    ImageLoadError error = ImageLoadError::None;
    switch (outcome.failure) {
    case Failure::None:
        break;
    case Failure::Transport:
        error = ImageLoadError::Network;
        break;
    case Failure::TimedOut:
        error = ImageLoadError::TimedOut;
        break;
    case Failure::TooLarge:
        error = ImageLoadError::TooLarge;
        break;
    case Failure::Cancelled:
        error = ImageLoadError::Cancelled;
        break;
    case Failure::Redirect:
        error = ImageLoadError::Redirect;
        break;
    }
    if (error == ImageLoadError::None && (outcome.httpStatus < 200 || outcome.httpStatus > 299)) {
        error = ImageLoadError::HttpStatus;
    }
    if (error != ImageLoadError::None) {
        const QList<Token> waiters = it->waiters;
        m_downloads.erase(it);
        // A stall is told as one; a missed deadline says how long it waited.
        const QString text =
            error == ImageLoadError::HttpStatus
                ? QStringLiteral("HTTP status %1").arg(outcome.httpStatus)
                : (error == ImageLoadError::TimedOut && !outcome.pastDeadline ? QString()
                                                                              : outcome.errorText);
        ImageLoadResult failed = failure(url, error, text);
        failed.httpStatus = outcome.httpStatus;
        deliverToWaiters(waiters, failed);
        return;
    }

    it->decoding = true;
    auto* watcher = new QFutureWatcher<ImageLoadResult>(this);
    connect(watcher, &QFutureWatcher<ImageLoadResult>::finished, this,
            [this, watcher, key, url, box = it->box] {
                watcher->deleteLater();
                ImageLoadResult result = watcher->result();
                result.url = url;
                auto it = m_downloads.find(key);
                const QList<Token> waiters = it != m_downloads.end() ? it->waiters : QList<Token>{};
                if (it != m_downloads.end()) {
                    m_downloads.erase(it);
                }
                if (result.hasImage()) {
                    m_cache.storeInMemory(memoryKey(key, box), result.cover);
                    m_cache.storeImageDataToDisk(result.cover.encodedData, key);
                }
                deliverToWaiters(waiters, result, box);
            });
    watcher->setFuture(
        QtConcurrent::run([bytes = outcome.body, box = it->box, maxPixels = it->maxPixels] {
            return decodeDownload(bytes, box, maxPixels);
        }));
}

void ImageService::deliverToWaiters(const QList<Token>& waiters, const ImageLoadResult& result,
                                    const QSize& box) {
    for (Token waiter : waiters) {
        if (!m_requests.contains(waiter)) {
            continue;
        }
        const Request& request = m_requests[waiter];
        if (result.hasImage() && request.box != box) {
            decodeAgain(waiter, result.cover.encodedData);
            continue;
        }
        ImageLoadResult own = result;
        own.url = request.url;
        deliver(waiter, own);
    }
}

// A load that shared a download made for another size gets its own picture.
void ImageService::decodeAgain(Token token, const QByteArray& bytes) {
    const Request& request = m_requests[token];
    auto* watcher = new QFutureWatcher<ImageLoadResult>(this);
    connect(watcher, &QFutureWatcher<ImageLoadResult>::finished, this, [this, watcher, token] {
        watcher->deleteLater();
        if (!m_requests.contains(token)) {
            return;
        }
        ImageLoadResult result = watcher->result();
        result.url = m_requests[token].url;
        if (result.hasImage()) {
            m_cache.storeInMemory(memoryKey(m_requests[token].key, m_requests[token].box),
                                  result.cover);
        }
        deliver(token, result);
    });
    watcher->setFuture(QtConcurrent::run([bytes, box = request.box, maxPixels = request.maxPixels] {
        return decodeDownload(bytes, box, maxPixels);
    }));
}

void ImageService::deliver(Token token, const ImageLoadResult& result) {
    auto it = m_requests.find(token);
    if (it == m_requests.end()) {
        return;
    }
    Request request = std::move(*it);
    m_requests.erase(it);
    if (request.completion) {
        request.completion(result);
    }
}

void ImageService::deliverLater(Token token, const ImageLoadResult& result) {
    QMetaObject::invokeMethod(
        this, [this, token, result] { deliver(token, result); }, Qt::QueuedConnection);
}

void ImageService::leaveDownload(Token token, const QString& key) {
    auto it = m_downloads.find(key);
    if (it == m_downloads.end()) {
        return;
    }
    it->waiters.removeAll(token);
    if (it->waiters.isEmpty() && it->reply) {
        // Nobody wants it any more. A download being decoded is left to finish:
        // its result still goes into the cache.
        QNetworkReply* reply = it->reply;
        m_downloads.erase(it);
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void ImageService::cancel(Token token) {
    auto it = m_requests.find(token);
    if (it == m_requests.end()) {
        return;
    }
    Request request = std::move(*it);
    m_requests.erase(it);
    leaveDownload(token, request.key);
    if (request.completion) {
        const ImageLoadResult result =
            failure(request.url, ImageLoadError::Cancelled, QStringLiteral("cancelled"));
        QMetaObject::invokeMethod(
            this, [completion = std::move(request.completion), result] { completion(result); },
            Qt::QueuedConnection);
    }
}
