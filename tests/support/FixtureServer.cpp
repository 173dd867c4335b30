#include "FixtureServer.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <sys/socket.h>

struct FixtureServer::State {
    mutable QMutex mutex;
    FixtureServer::FaultConfig searchFault;
    FixtureServer::FaultConfig artworkFault;
    QList<QByteArray> targets;
    QByteArray lastUserAgent;
    QHash<QString, QByteArray> imageCache;
    QString origin;
};

namespace {

struct Response {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
};

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QString slugOf(const QString& term) {
    QString slug;
    for (const QChar c : term.toLower()) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80) {
            slug.append(c);
        } else if (!slug.endsWith(QLatin1Char('-'))) {
            slug.append(QLatin1Char('-'));
        }
    }
    while (slug.endsWith(QLatin1Char('-'))) {
        slug.chop(1);
    }
    while (slug.startsWith(QLatin1Char('-'))) {
        slug.remove(0, 1);
    }
    return slug;
}

QByteArray queryValue(const QByteArray& target, const QByteArray& key) {
    const qsizetype q = target.indexOf('?');
    if (q < 0) {
        return {};
    }
    const QList<QByteArray> pairs = target.mid(q + 1).split('&');
    for (const QByteArray& pair : pairs) {
        if (pair.startsWith(key + '=')) {
            return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
        }
    }
    return {};
}

// A deterministic answer of `count` results for any term.
QByteArray generatedAnswer(const QString& term, int count, const QString& media,
                           const QString& origin) {
    QJsonArray results;
    for (int i = 0; i < count; ++i) {
        const qint64 id = 900000000LL + qHash(term) % 100000 * 1000 + i;
        QJsonObject r;
        r[QStringLiteral("wrapperType")] = QStringLiteral("track");
        r[QStringLiteral("kind")] = media == QLatin1String("music")
                                        ? QStringLiteral("song")
                                        : QStringLiteral("feature-movie");
        r[QStringLiteral("artistName")] = QStringLiteral("Fixture Artist %1").arg(i % 7 + 1);
        r[QStringLiteral("collectionName")] = QStringLiteral("%1 Vol. %2").arg(term).arg(i + 1);
        r[QStringLiteral("trackName")] = QStringLiteral("Track %1").arg(i + 1);
        r[QStringLiteral("collectionId")] = id;
        r[QStringLiteral("trackId")] = id + 500000;
        r[QStringLiteral("collectionViewUrl")] =
            QStringLiteral("%1/us/album/fixture/%2?uo=4").arg(origin).arg(id);
        r[QStringLiteral("artworkUrl100")] =
            QStringLiteral("%1/image/thumb/Music/v4/fx/%2/source.jpg/100x100bb.jpg")
                .arg(origin)
                .arg(id);
        results.append(r);
    }
    QJsonObject root;
    root[QStringLiteral("resultCount")] = int(results.size());
    root[QStringLiteral("results")] = results;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QByteArray renderImage(const QString& key, int width, int height, const char* format) {
    const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Md5);
    const QColor a{int(quint8(digest[0])), int(quint8(digest[1])), int(quint8(digest[2]))};
    const QColor b{int(quint8(digest[3])), int(quint8(digest[4])), int(quint8(digest[5]))};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(a);
    {
        QPainter painter(&image);
        const int bands = 8;
        for (int i = 0; i < bands; i += 2) {
            painter.fillRect(QRect(0, height * i / bands, width, height / bands), b);
        }
        painter.fillRect(QRect(width / 4, height / 4, width / 2, height / 2), a.lighter(150));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

} // namespace

// Lives on the server thread; owns the listening socket and the connections.
class FixtureWorker : public QObject {
public:
    explicit FixtureWorker(std::shared_ptr<FixtureServer::State> state)
        : m_state(std::move(state)) {}

    quint16 listen(quint16 port) {
        m_server = new QTcpServer(this);
        if (!m_server->listen(QHostAddress::LocalHost, port)) {
            return 0;
        }
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this,
                        [this, socket] { onReadyRead(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return m_server->serverPort();
    }

    void shutdown() {
        delete m_server;
        m_server = nullptr;
        for (QTcpSocket* s : findChildren<QTcpSocket*>()) {
            s->abort();
            delete s;
        }
    }

private:
    void onReadyRead(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer.append(socket->readAll());
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QByteArray head = buffer.left(end);
        m_buffers.remove(socket);
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        const QByteArray target = requestLine.value(1);
        QByteArray userAgent;
        for (const QByteArray& line : lines.mid(1)) {
            if (line.toLower().startsWith("user-agent:")) {
                userAgent = line.mid(11).trimmed();
            }
        }
        const QByteArray path =
            target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        const bool search = path == "/search";
        FixtureServer::FaultConfig fault;
        {
            QMutexLocker lock(&m_state->mutex);
            m_state->targets.append(target);
            m_state->lastUserAgent = userAgent;
            fault = search ? m_state->searchFault : m_state->artworkFault;
        }
        answer(socket, target, path, fault);
    }

    void answer(QTcpSocket* socket, const QByteArray& target, const QByteArray& path,
                const FixtureServer::FaultConfig& fault) {
        using Fault = FixtureServer::Fault;
        if (fault.fault == Fault::Reset) {
            resetConnection(socket);
            return;
        }
        if (fault.fault == Fault::Delay && fault.delayMs > 0) {
            QPointer<QTcpSocket> guard(socket);
            FixtureServer::FaultConfig plain;
            QTimer::singleShot(fault.delayMs, this, [this, guard, target, path, plain] {
                if (guard) {
                    answer(guard, target, path, plain);
                }
            });
            return;
        }
        Response response = route(target, path, fault);
        QByteArray header = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                            reasonPhrase(response.status) + "\r\n";
        if (!response.contentType.isEmpty()) {
            header += "Content-Type: " + response.contentType + "\r\n";
        }
        if (fault.fault != Fault::NoContentLength) {
            header += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        }
        header += "Connection: close\r\n\r\n";
        socket->write(header);

        if (fault.fault == Fault::Truncate) {
            socket->write(response.body.left(response.body.size() / 2));
            socket->flush();
            resetConnection(socket);
            return;
        }
        if (fault.fault == Fault::SlowDrip) {
            drip(socket, response.body, fault.dripChunk, fault.dripIntervalMs);
            return;
        }
        socket->write(response.body);
        socket->disconnectFromHost();
    }

    void drip(QTcpSocket* socket, QByteArray body, int chunk, int intervalMs) {
        auto* timer = new QTimer(socket);
        auto offset = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, chunk, offset] {
            socket->write(body.mid(*offset, chunk));
            *offset += chunk;
            if (*offset >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(intervalMs);
    }

    static void resetConnection(QTcpSocket* socket) {
        // SO_LINGER with a zero timeout makes close() send a reset.
        struct linger lingerOption {
            1, 0
        };
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &lingerOption,
                     sizeof lingerOption);
        socket->abort();
    }

    Response route(const QByteArray& target, const QByteArray& path,
                   const FixtureServer::FaultConfig& fault) {
        using Fault = FixtureServer::Fault;
        if (fault.fault == Fault::Status) {
            return {fault.statusCode, {}, {}};
        }
        if (fault.fault == Fault::Garbage) {
            return {200, "text/html", QByteArrayLiteral("<html>\xff\xfe not what you asked for")};
        }
        if (fault.fault == Fault::HugeJson) {
            QByteArray body = "{\"padding\":\"";
            body.append(QByteArray(fault.hugeBytes, 'x'));
            body.append("\",\"results\":[]}");
            return {200, "application/json", body};
        }
        if (fault.fault == Fault::HugeImageHeader) {
            // A valid PNG signature and IHDR claiming 30000x30000, then nothing.
            QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
            png.append(QByteArray::fromHex("00007530000075300806000000"));
            png.append(QByteArray::fromHex("00000000"));
            return {200, "image/png", png};
        }
        if (path == "/search") {
            return searchAnswer(target);
        }
        if (path.startsWith("/image/thumb/") || path.startsWith("/us/r1000/0/")) {
            return artwork(QString::fromUtf8(QByteArray::fromPercentEncoding(path)));
        }
        return {404, "text/plain", "not found"};
    }

    Response searchAnswer(const QByteArray& target) {
        const QString term = FixtureServer::termOfTarget(target);
        const QString media = QString::fromUtf8(queryValue(target, "media"));
        const QString origin = m_state->origin;
        const QString slug = slugOf(term);
        QFile file(QStringLiteral(":/fixtures/search/%1.json").arg(slug));
        if (!slug.isEmpty() && file.open(QIODevice::ReadOnly)) {
            QByteArray body = file.readAll();
            body.replace("{{ORIGIN}}", origin.toUtf8());
            return {200, "text/javascript; charset=utf-8", body};
        }
        static const QRegularExpression generated(QStringLiteral(R"(^generated (\d+)$)"));
        const auto match = generated.match(term);
        const int count = match.hasMatch() ? qMin(match.captured(1).toInt(), 5000) : 25;
        return {200, "text/javascript; charset=utf-8", generatedAnswer(term, count, media, origin)};
    }

    Response artwork(const QString& path) {
        int width = 1400;
        int height = 1400;
        const char* format = "jpg";
        static const QRegularExpression sized(QStringLiteral(R"(/(\d+)x(\d+)bb\.jpg$)"));
        static const QRegularExpression hinted(QStringLiteral(R"(-s(\d+)(x(\d+))?\.(jpg|png)$)"));
        if (const auto m = sized.match(path); m.hasMatch()) {
            width = m.captured(1).toInt();
            height = m.captured(2).toInt();
        } else if (const auto h = hinted.match(path); h.hasMatch()) {
            width = h.captured(1).toInt();
            height = h.captured(3).isEmpty() ? width : h.captured(3).toInt();
        }
        if (path.startsWith(QLatin1String("/us/r1000/0/")) &&
            path.endsWith(QLatin1String(".png"))) {
            format = "png";
        }
        width = qBound(1, width, 10000);
        height = qBound(1, height, 10000);
        QByteArray bytes;
        {
            QMutexLocker lock(&m_state->mutex);
            bytes = m_state->imageCache.value(path);
        }
        if (bytes.isEmpty()) {
            bytes = renderImage(path, width, height, format);
            QMutexLocker lock(&m_state->mutex);
            m_state->imageCache.insert(path, bytes);
        }
        return {200, qstrcmp(format, "png") == 0 ? "image/png" : "image/jpeg", bytes};
    }

    std::shared_ptr<FixtureServer::State> m_state;
    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

static void initFixtureResources() {
    // The fixtures are compiled into a static library; make sure they are registered.
    Q_INIT_RESOURCE(fixtures);
}

FixtureServer::FixtureServer() : m_state(std::make_shared<State>()) {
    initFixtureResources();
}

FixtureServer::~FixtureServer() {
    stop();
}

bool FixtureServer::start(quint16 port) {
    stop();
    m_thread = new QThread();
    m_thread->setObjectName(QStringLiteral("fixture-server"));
    m_worker = new FixtureWorker(m_state);
    m_worker->moveToThread(m_thread);
    m_thread->start();
    quint16 bound = 0;
    QMetaObject::invokeMethod(
        m_worker, [this, port] { return m_worker->listen(port); }, Qt::BlockingQueuedConnection,
        &bound);
    m_port = bound;
    {
        QMutexLocker lock(&m_state->mutex);
        m_state->origin = origin();
    }
    return bound != 0;
}

void FixtureServer::stop() {
    if (!m_thread) {
        return;
    }
    FixtureWorker* worker = m_worker;
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->shutdown();
            delete worker;
        },
        Qt::BlockingQueuedConnection);
    m_worker = nullptr;
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_port = 0;
}

quint16 FixtureServer::port() const {
    return m_port;
}

QString FixtureServer::origin() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void FixtureServer::setFault(Scope scope, const FaultConfig& config) {
    QMutexLocker lock(&m_state->mutex);
    if (scope == Scope::Search || scope == Scope::All) {
        m_state->searchFault = config;
    }
    if (scope == Scope::Artwork || scope == Scope::All) {
        m_state->artworkFault = config;
    }
}

void FixtureServer::clearFaults() {
    setFault(Scope::All, FaultConfig{});
}

int FixtureServer::requestCount(const QString& pathPrefix) const {
    QMutexLocker lock(&m_state->mutex);
    if (pathPrefix.isEmpty()) {
        return int(m_state->targets.size());
    }
    const QByteArray prefix = pathPrefix.toUtf8();
    return int(std::count_if(m_state->targets.begin(), m_state->targets.end(),
                             [&prefix](const QByteArray& t) { return t.startsWith(prefix); }));
}

QList<QByteArray> FixtureServer::requestTargets() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->targets;
}

QByteArray FixtureServer::lastUserAgent() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->lastUserAgent;
}

void FixtureServer::resetCounts() {
    QMutexLocker lock(&m_state->mutex);
    m_state->targets.clear();
}

QString FixtureServer::termOfTarget(const QByteArray& target) {
    const qsizetype start = target.indexOf("?term=");
    if (start < 0) {
        return {};
    }
    // The term may itself hold & and =; it ends where the country begins.
    const qsizetype end = target.lastIndexOf("&country=");
    const QByteArray raw = target.mid(start + 6, end < 0 ? -1 : end - start - 6);
    return QString::fromUtf8(QByteArray::fromPercentEncoding(raw));
}
