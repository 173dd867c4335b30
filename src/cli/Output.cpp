#include "cli/Output.h"

#include "platform/TextSafety.h"

#include <QJsonDocument>

#include <cstdio>

namespace Output {

QString terminal(const QString& text) {
    return TextSafety::withoutControlCharacters(text);
}

void jsonLine(QTextStream& out, const QJsonObject& object) {
    // QJsonDocument writes control characters as \u escapes.
    out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n' << Qt::flush;
}

int exitStatusFor(SearchResultKind kind) {
    switch (kind) {
    case SearchResultKind::Completed:
        return 0;
    case SearchResultKind::UrlNotFormed:
        return 2;
    case SearchResultKind::AnswerUnreadable:
    case SearchResultKind::NotASearchResult:
        return 3;
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
    case SearchResultKind::Throttled:
    case SearchResultKind::Unavailable:
        return 4;
    }
    return 3;
}

void record(QTextStream& out, qsizetype index, const CatalogueItem& record) {
    out << index << "  " << terminal(record.collectionName()) << " — "
        << terminal(record.artistName()) << '\n'
        << "    " << terminal(record.standardResolutionUrl()) << '\n';
}

QString duration(qint64 seconds) {
    if (seconds >= 3600) {
        return Cli::tr("%1h%2m")
            .arg(seconds / 3600)
            .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'));
    }
    if (seconds >= 60) {
        return Cli::tr("%1m%2s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    return Cli::tr("%1s").arg(seconds);
}

void error(const QString& text) {
    std::fprintf(stderr, "%s\n", terminal(text).toLocal8Bit().constData());
}

} // namespace Output
