#include "library/AlbumMatcher.h"

#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

#include <unicode/translit.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace AlbumMatcher {

namespace {

// Letters of every script in plain Latin: "Ágætis" gives "Agaetis", "Ørnen"
// "Ornen". One transliterator for the process; ICU's are not for two threads.
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

double closeness(const QString& left, const QString& right) {
    if (left == right) {
        return left.isEmpty() ? 0.0 : 1.0;
    }
    const qsizetype longer = std::max(left.size(), right.size());
    return 1.0 - double(editDistance(left, right)) / double(longer);
}

const QRegularExpression& editionWord() {
    static const QRegularExpression word(QStringLiteral(
        "^(deluxe|super|expanded|special|anniversary|collectors?|limited|bonus|track|tracks|"
        "version|edition|remastered|remaster|reissue|mono|stereo|legacy|platinum|tour|"
        "international|digital|explicit|clean|\\d+(st|nd|rd|th)|(19|20)\\d\\d)$"));
    return word;
}

const QRegularExpression& soundtrackAddition() {
    static const QRegularExpression soundtrack(
        QStringLiteral("soundtrack|motion picture|original score|\\bost\\b|music from|"
                       "original (broadway |london )?cast|inspired by the|from the (film|movie|"
                       "series)"),
        QRegularExpression::CaseInsensitiveOption);
    return soundtrack;
}

// "Disc 1", "CD2", "disk two": the disc's number; 0 when the text is none.
int discMarker(const QString& text) {
    static const QRegularExpression marker(
        QStringLiteral("^(?:disc|disk|cd)\\s*(\\d{1,2}|one|two|three|four|five|six)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = marker.match(text.trimmed());
    if (!match.hasMatch()) {
        return 0;
    }
    static const QStringList words{"one", "two", "three", "four", "five", "six"};
    const QString number = match.captured(1).toLower();
    return words.contains(number) ? int(words.indexOf(number)) + 1 : number.toInt();
}

QStringList wordsOf(const QString& text) {
    static const QRegularExpression apostrophe(QStringLiteral("['’`]"));
    static const QRegularExpression punctuation(QStringLiteral("[^A-Za-z0-9 ]+"));
    QString plain = latin(text);
    plain.remove(apostrophe);
    plain.replace(QLatin1Char('&'), QStringLiteral(" and "));
    plain.replace(QLatin1Char('+'), QStringLiteral(" and "));
    plain.replace(punctuation, QStringLiteral(" "));
    return plain.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The edition words of `text` when it holds nothing else (a year among them);
// none when it holds anything else.
std::optional<QStringList> onlyEditionWords(const QString& text, int* year) {
    QStringList editions;
    for (const QString& word : wordsOf(text)) {
        const QString folded = word.toCaseFolded();
        if (!editionWord().match(folded).hasMatch()) {
            return std::nullopt;
        }
        if (folded.size() == 4 && folded[0].isDigit()) {
            *year = folded.toInt();
        } else {
            editions.append(folded);
        }
    }
    return editions;
}

// A Roman numeral's value; 0 when the word is none (or spelt otherwise than
// numerals are: "MIX", "VIVID" or "IIII" are words).
qint64 romanValue(const QString& word) {
    static const QRegularExpression numeral(
        QStringLiteral("^M{0,4}(CM|CD|D?C{0,3})(XC|XL|L?X{0,3})(IX|IV|V?I{0,3})$"));
    if (word.isEmpty() || !numeral.match(word).hasMatch() || word.contains(QLatin1Char('M')) ||
        word.contains(QLatin1Char('D'))) {
        return 0;
    }
    const auto digit = [](QChar c) {
        switch (c.unicode()) {
        case 'I':
            return 1;
        case 'V':
            return 5;
        case 'X':
            return 10;
        case 'L':
            return 50;
        default:
            return 100;
        }
    };
    qint64 value = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const int here = digit(word[i]);
        value += (i + 1 < word.size() && here < digit(word[i + 1])) ? -here : here;
    }
    return value;
}

// The numbers a title's own words carry, by value: digits, and Roman numerals
// written in capitals ("Vol. II", "Chicago XVII"; a lone "I" only at the end).
// The numerals are written as digits in `words`, so that "Vol. II" and
// "Vol. 2" read alike.
QList<qint64> takeNumbers(QStringList& words) {
    QList<qint64> numbers;
    for (qsizetype i = 0; i < words.size(); ++i) {
        QString& word = words[i];
        bool digits = false;
        const qint64 value = word.toLongLong(&digits);
        if (digits) {
            numbers.append(value);
        } else if ((word != QLatin1String("I") || i + 1 == words.size()) && romanValue(word) > 0) {
            numbers.append(romanValue(word));
            word = QString::number(numbers.last());
        }
    }
    return numbers;
}

QString joinedFolded(const QStringList& words) {
    QStringList folded;
    for (const QString& word : words) {
        folded.append(word.toCaseFolded());
    }
    return folded.join(QLatin1Char(' '));
}

} // namespace

QString normalised(const QString& name) {
    static const QRegularExpression sortForm(QStringLiteral(",\\s*(the|a|an)\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString text = name;
    text.remove(sortForm); // "Quiet Hours, The"
    QStringList words = joinedFolded(wordsOf(text)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    static const QStringList articles{QStringLiteral("the"), QStringLiteral("a"),
                                      QStringLiteral("an")};
    if (words.size() > 1 && articles.contains(words.first())) {
        words.removeFirst();
    }
    return words.join(QLatin1Char(' '));
}

Title parseTitle(const QString& title) {
    Title parsed;
    QString text = title.trimmed();
    static const QRegularExpression suffix(QStringLiteral("\\s+-\\s+(EP|Single)\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (const auto match = suffix.match(text); match.hasMatch()) {
        (match.captured(1).compare(QLatin1String("EP"), Qt::CaseInsensitive) == 0 ? parsed.ep
                                                                                  : parsed.single) =
            true;
        text.truncate(match.capturedStart());
    }
    // Bracketed additions: editions, soundtracks and discs are set aside.
    static const QRegularExpression bracketed(QStringLiteral("[\\(\\[]([^\\)\\]]*)[\\)\\]]"));
    QString kept;
    qsizetype from = 0;
    for (auto it = bracketed.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        kept += text.mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QString inside = match.captured(1);
        if (const int disc = discMarker(inside)) {
            parsed.disc = disc;
        } else if (const auto editions = onlyEditionWords(inside, &parsed.year)) {
            parsed.editions += *editions;
        } else if (!soundtrackAddition().match(inside).hasMatch()) {
            kept += QLatin1Char(' ') + inside + QLatin1Char(' ');
        }
    }
    text = kept + text.mid(from);
    // After a dash: " - 2011 Remaster", " - Deluxe Edition", " - Disc One".
    static const QRegularExpression dashed(QStringLiteral("\\s+[-–—:]\\s+([^-–—:]+)$"));
    if (const auto match = dashed.match(text); match.hasMatch()) {
        if (const int disc = discMarker(match.captured(1))) {
            parsed.disc = disc;
            text.truncate(match.capturedStart());
        } else if (const auto editions = onlyEditionWords(match.captured(1), &parsed.year)) {
            parsed.editions += *editions;
            text.truncate(match.capturedStart());
        }
    }
    // A trailing disc marker ("Album CD2", "Album Disc 2") and trailing edition
    // words ("Rumours Deluxe"), but never a title's only word, nor its year.
    static const QRegularExpression trailingDisc(
        QStringLiteral("\\s+((?:disc|disk|cd)\\s*\\d{1,2})\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto match = trailingDisc.match(text); match.hasMatch()) {
        parsed.disc = discMarker(match.captured(1));
        text.truncate(match.capturedStart());
    }
    parsed.text = text.simplified();
    QStringList words = wordsOf(text);
    while (words.size() > 1 && !words.last().front().isDigit() &&
           editionWord().match(words.last().toCaseFolded()).hasMatch()) {
        parsed.editions.append(words.takeLast().toCaseFolded());
    }
    parsed.numbers = takeNumbers(words);
    parsed.core = normalised(words.join(QLatin1Char(' ')));
    return parsed;
}

double similarity(const QString& a, const QString& b) {
    return closeness(normalised(a), normalised(b));
}

double titleSimilarity(const QString& a, const QString& b) {
    const Title left = parseTitle(a);
    const Title right = parseTitle(b);
    if (left.numbers != right.numbers) {
        return 0.0;
    }
    return closeness(left.core, right.core);
}

QString mainArtist(const QString& credit, const QString& main) {
    static const QRegularExpression featured(
        QStringLiteral("\\s*[\\(\\[]?\\b(feat\\.?|ft\\.|featuring)\\s.*$"),
        QRegularExpression::CaseInsensitiveOption);
    QString base = credit;
    base.remove(featured);
    base = base.trimmed();
    if (main.isEmpty()) {
        return base;
    }
    // "A & B", "A with B", "A x B", "A, B": A, when A is the main artist.
    static const QRegularExpression joint(QStringLiteral("\\s*(,|&|\\bwith\\b|\\bx\\b)\\s*"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString wanted = normalised(main);
    for (auto it = joint.globalMatch(base); it.hasNext();) {
        const QString first = base.left(it.next().capturedStart()).trimmed();
        if (normalised(first) == wanted) {
            return first;
        }
    }
    return base;
}

double artistSimilarity(const QString& artist, const QString& candidateArtist) {
    return std::max(similarity(artist, candidateArtist),
                    similarity(artist, mainArtist(candidateArtist, artist)));
}

double score(const QString& artist, const QString& album, const QString& candidateArtist,
             const QString& candidateAlbum) {
    return std::min(artistSimilarity(artist, candidateArtist),
                    titleSimilarity(album, candidateAlbum));
}

namespace {

// How well an edition of the album fits what the folder wants; lower is better.
int editionRank(const Title& wanted, const Title& candidate) {
    if (wanted.single || wanted.ep) {
        return candidate.single == wanted.single && candidate.ep == wanted.ep ? 0 : 1;
    }
    const bool plain = candidate.editions.isEmpty() && !candidate.single && !candidate.ep;
    if (!wanted.editions.isEmpty()) {
        const bool named =
            std::all_of(wanted.editions.begin(), wanted.editions.end(),
                        [&](const QString& e) { return candidate.editions.contains(e); });
        return named ? 0 : (plain ? 1 : 2);
    }
    return plain ? 0 : (candidate.single || candidate.ep ? 2 : 1);
}

} // namespace

std::optional<Match> bestMatch(const Wanted& wanted, const QList<CatalogueItem>& candidates) {
    if (candidates.isEmpty()) {
        return std::nullopt;
    }
    std::vector<double> scores;
    for (const CatalogueItem& candidate : candidates) {
        scores.push_back(wanted.compilation
                             ? titleSimilarity(wanted.album, candidate.collectionName())
                             : score(wanted.artist, wanted.album, candidate.artistName(),
                                     candidate.collectionName()));
    }
    const double best = *std::max_element(scores.begin(), scores.end());
    // The candidates that match alike, ranked as editions of one album.
    const Title wantedTitle = parseTitle(wanted.album);
    std::vector<std::tuple<int, int, double, qsizetype>> ranked;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (scores[size_t(i)] < best - 1e-9) {
            continue;
        }
        const CatalogueItem& candidate = candidates[i];
        const int edition = editionRank(wantedTitle, parseTitle(candidate.collectionName()));
        const int version =
            wanted.explicitness.isEmpty() || candidate.explicitness() == wanted.explicitness ? 0
                                                                                             : 1;
        // Between weak candidates the one by the right artist is the better hint.
        const double byArtist = -artistSimilarity(wanted.artist, candidate.artistName());
        ranked.emplace_back(edition, version, byArtist, i);
    }
    std::sort(ranked.begin(), ranked.end());
    Match match{candidates[std::get<3>(ranked.front())], best, best >= kThreshold, false, {}};
    if (!match.confident) {
        return match;
    }
    // Different albums matched alike (another artist of one name, another
    // title beyond its editions): none of them is taken.
    const auto albumOf = [&](const CatalogueItem& record) {
        return std::make_pair(record.artistId() != 0
                                  ? QString::number(record.artistId())
                                  : normalised(mainArtist(record.artistName(), wanted.artist)),
                              parseTitle(record.collectionName()).core);
    };
    for (const auto& entry : ranked) {
        const CatalogueItem& other = candidates[std::get<3>(entry)];
        if (albumOf(other) != albumOf(match.record)) {
            match.rivals.append(other);
        }
    }
    if (!match.rivals.isEmpty()) {
        match.ambiguous = true;
        match.confident = false;
        match.rivals.prepend(match.record);
    }
    return match;
}

} // namespace AlbumMatcher
