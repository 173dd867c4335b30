#include "AlbumMatcher.h"

#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

#include <unicode/translit.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace AlbumMatcher {

namespace {

// Letters of every script in plain Latin: "Ágætis" gives "agaetis", "Ørnen"
// "ornen". One transliterator for the process; ICU's are not for two threads.
QString latin(const QString& text) {
    static QMutex mutex;
    static std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        return std::unique_ptr<icu::Transliterator>(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    }();
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
    QMutexLocker lock(&mutex);
    if (transliterator) {
        transliterator->transliterate(unicode);
    }
    return QString(reinterpret_cast<const QChar*>(unicode.getBuffer()), unicode.length());
}

int editDistance(const QString& a, const QString& b) {
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j) {
        row[j] = int(j);
    }
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

QString normalised(const QString& name) {
    static const QRegularExpression editionWords(QStringLiteral(
        "\\b(deluxe|super|expanded|special|anniversary|collector'?s|limited|bonus|track|tracks|"
        "version|edition|remastered|remaster|reissue|mono|stereo|ep|single|\\d{4})\\b"));
    static const QRegularExpression bracketed(QStringLiteral("[\\(\\[]([^\\)\\]]*)[\\)\\]]"));
    static const QRegularExpression punctuation(QStringLiteral("[^a-z0-9 ]+"));
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    QString text = latin(name).toCaseFolded();
    text.replace(QLatin1Char('&'), QStringLiteral(" and "));
    // A bracketed addition that only names an edition goes; others stay.
    QString kept;
    qsizetype from = 0;
    for (auto it = bracketed.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        kept += text.mid(from, match.capturedStart() - from);
        QString inside = match.captured(1);
        inside.remove(editionWords);
        if (!inside.remove(punctuation).trimmed().isEmpty()) {
            kept += QLatin1Char(' ') + match.captured(1) + QLatin1Char(' ');
        }
        from = match.capturedEnd();
    }
    text = kept + text.mid(from);
    text.replace(punctuation, QStringLiteral(" "));
    // Edition words at the end ("Into the Blue - EP", "Rumours Deluxe").
    QStringList words = text.split(spaces, Qt::SkipEmptyParts);
    while (words.size() > 1 && editionWords.match(words.last()).hasMatch() &&
           editionWords.match(words.last()).capturedLength() == words.last().size()) {
        words.removeLast();
    }
    if (words.size() > 1 && words.first() == QLatin1String("the")) {
        words.removeFirst();
    }
    return words.join(QLatin1Char(' '));
}

// The numbers in a name, Roman ones too: "Led Zeppelin IV" is not "II", nor
// "Vol. 2" "Vol. 3", however close the rest of the name is.
static QStringList numbers(const QString& normalisedName) {
    static const QRegularExpression number(QStringLiteral("^(\\d+|i{1,3}|iv|v|vi{1,3}|ix|x)$"));
    QStringList found;
    for (const QString& word : normalisedName.split(QLatin1Char(' '))) {
        if (number.match(word).hasMatch()) {
            found.append(word);
        }
    }
    return found;
}

double similarity(const QString& a, const QString& b) {
    const QString left = normalised(a);
    const QString right = normalised(b);
    if (left == right) {
        return left.isEmpty() ? 0.0 : 1.0;
    }
    if (numbers(left) != numbers(right)) {
        return 0.0;
    }
    const qsizetype longer = std::max(left.size(), right.size());
    return 1.0 - double(editDistance(left, right)) / double(longer);
}

double score(const QString& artist, const QString& album, const QString& candidateArtist,
             const QString& candidateAlbum) {
    return std::min(similarity(artist, candidateArtist), similarity(album, candidateAlbum));
}

std::optional<Match> bestMatch(const QString& artist, const QString& album,
                               const QList<AlbumObject>& candidates) {
    std::optional<Match> best;
    double bestArtist = -1;
    for (const AlbumObject& candidate : candidates) {
        const double value =
            score(artist, album, candidate.artistName(), candidate.collectionName());
        // Between equals, the one by the right artist is the better hint.
        const double byArtist = similarity(artist, candidate.artistName());
        if (!best || value > best->score || (value == best->score && byArtist > bestArtist)) {
            best = Match{candidate, value, value >= kThreshold};
            bestArtist = byArtist;
        }
    }
    return best;
}

} // namespace AlbumMatcher
