// Parsing a 200-result search answer into records, median of repeated runs.
#include "sources/store/StoreRequests.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray answerOf(int count) {
    QJsonArray results;
    for (int i = 0; i < count; ++i) {
        QJsonObject r;
        r[QStringLiteral("wrapperType")] = QStringLiteral("track");
        r[QStringLiteral("kind")] = QStringLiteral("song");
        r[QStringLiteral("artistName")] = QStringLiteral("Artist %1").arg(i);
        r[QStringLiteral("collectionName")] =
            QStringLiteral("Collection with a long name %1").arg(i);
        r[QStringLiteral("trackName")] = QStringLiteral("Track %1").arg(i);
        r[QStringLiteral("collectionId")] = qint64(1440000000) + i;
        r[QStringLiteral("trackId")] = qint64(1450000000) + i;
        r[QStringLiteral("collectionViewUrl")] =
            QStringLiteral("https://music.apple.com/us/album/x/%1?i=2&uo=4").arg(i);
        r[QStringLiteral("artworkUrl100")] =
            QStringLiteral("https://is%1-ssl.mzstatic.com/image/thumb/Music115/v4/4b/b6/a6/"
                           "4bb6a6f6-1e0c-1b1c/%2.rgb.jpg/100x100bb.jpg")
                .arg(i % 5 + 1)
                .arg(i);
        r[QStringLiteral("primaryGenreName")] = QStringLiteral("Rock");
        r[QStringLiteral("trackPrice")] = 1.29;
        results.append(r);
    }
    QJsonObject root{{QStringLiteral("resultCount"), count}, {QStringLiteral("results"), results}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray body = answerOf(200);
    const ServiceOrigins origins = ServiceOrigins::production();
    std::vector<double> ms;
    for (int run = 0; run < 200; ++run) {
        QElapsedTimer timer;
        timer.start();
        const auto parsed = StoreRequests::parseAnswer(body, QStringLiteral("music"),
                                                       QStringLiteral("us"), origins);
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (parsed.records.size() != 200) {
            std::fprintf(stderr, "unexpected record count %lld\n",
                         qlonglong(parsed.records.size()));
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s %10s %10s\n", "benchmark", "median ms", "max ms");
    std::printf("%-40s %10.3f %10.3f   (target < 5 ms; answer %lld bytes)\n",
                "parse 200-result answer", ms[ms.size() / 2], ms.back(), qlonglong(body.size()));
    return 0;
}
