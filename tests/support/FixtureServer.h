#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

#include <memory>

class QThread;
class FixtureWorker;

// A small HTTP/1.1 catalogue on 127.0.0.1 for tests, benchmarks and offline
// use. It serves search answers under /search (fixture files picked by term),
// thumbnails under /image/thumb/.../NNNxNNNbb.jpg and full-size artwork under
// /us/r1000/0/..., all generated locally. It runs on its own thread, so a busy
// client thread never stalls it.
class FixtureServer {
public:
    enum class Fault {
        None,
        Delay,           // answer after delayMs
        SlowDrip,        // the body in dripChunk-byte pieces every dripIntervalMs
        Truncate,        // Content-Length of the whole body, then half of it, then close
        Status,          // statusCode with an empty body
        Garbage,         // 200 with bytes that are neither JSON nor an image
        NoContentLength, // the body without a length, ended by closing
        Reset,           // the connection reset before any answer
        HugeJson,        // a JSON object of hugeBytes bytes (no results)
        HugeImageHeader, // a PNG header claiming 30000x30000 pixels
    };
    enum class Scope { Search, Artwork, All };

    struct FaultConfig {
        Fault fault = Fault::None;
        int delayMs = 0;
        int statusCode = 500;
        int dripChunk = 4096;
        int dripIntervalMs = 10;
        qint64 hugeBytes = 20LL * 1024 * 1024;
    };

    FixtureServer();
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // Listens on 127.0.0.1; port 0 picks a free one. Blocks until listening.
    bool start(quint16 port = 0);
    void stop();

    quint16 port() const;
    // "http://127.0.0.1:PORT"
    QString origin() const;

    void setFault(Scope scope, const FaultConfig& config);
    void clearFaults();

    // Requests served whose path starts with `pathPrefix` (all when empty).
    int requestCount(const QString& pathPrefix = {}) const;
    // The raw request targets, in arrival order.
    QList<QByteArray> requestTargets() const;
    // The User-Agent header of the latest request.
    QByteArray lastUserAgent() const;
    void resetCounts();

    // The decoded term of a raw /search request target.
    static QString termOfTarget(const QByteArray& target);

private:
    friend class FixtureWorker;
    struct State;
    std::shared_ptr<State> m_state;
    QThread* m_thread = nullptr;
    FixtureWorker* m_worker = nullptr;
    quint16 m_port = 0;
};
