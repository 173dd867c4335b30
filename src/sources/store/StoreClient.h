#pragma once

#include "sources/CoverSource.h"
#include "sources/store/ServiceOrigins.h"
#include "sources/store/StoreRequests.h"

#include <QByteArray>
#include <QPointer>

class NetworkAccess;
class QNetworkReply;

// Runs the store catalogue's requests, one at a time: one GET, the answer
// parsed on a worker thread, the outcome delivered on the thread that owns
// this object. A new request abandons the one still running.
class StoreClient : public SourceClient {
    Q_OBJECT
public:
    StoreClient(NetworkAccess& network, const ServiceOrigins& origins, QObject* parent = nullptr);
    ~StoreClient() override;

    // A window search: a store link or a bare catalogue id as the term looks
    // the item up instead of searching; `entity` narrows the search to one
    // kind of result ("album": the answer holds collections, all kept). The
    // fill's requests keep the albums of their answers only.
    void run(const SourceRequest& request, Callback callback) override;
    void cancel() override;
    bool isRunning() const override { return !m_reply.isNull() || m_parsing; }

    // Answers larger than this are refused as unreadable.
    static constexpr qint64 kMaxAnswerBytes = 64LL * 1024 * 1024;

private:
    void search(const SourceRequest& request, Callback callback);
    void fetchAlbums(const QByteArray& encodedUrl, const QString& lowerCountry, Callback callback);
    void send(const QUrl& url, const QString& mediaValue, const QString& lowerCountry,
              StoreRequests::AnswerKind kind, Callback callback);
    void handleFinished(QNetworkReply* reply, quint64 generation, const QString& mediaValue,
                        const QString& lowerCountry, StoreRequests::AnswerKind kind,
                        Callback callback);

    NetworkAccess& m_network;
    const ServiceOrigins& m_origins;
    QPointer<QNetworkReply> m_reply;
    quint64 m_generation = 0;
    bool m_parsing = false;
    bool m_tooLarge = false;
};
