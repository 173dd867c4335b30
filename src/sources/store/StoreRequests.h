#pragma once

#include "catalogue/CatalogueItem.h"
#include "sources/store/ServiceOrigins.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace StoreRequests {

// Percent-encodes with the URL-query-allowed set: ASCII letters, digits and
// ! $ & ' ( ) * + , - . / : ; = ? @ _ ~ stay; every other character becomes
// its UTF-8 bytes as %XX with upper-case hex digits.
QByteArray percentEncodeQueryAllowed(const QString& text);

// Percent-encodes one query value: everything outside A-Z a-z 0-9 - . _ ~
// becomes its UTF-8 bytes as %XX, a space %20, so that & + = ; ? / in a term
// reach the service as part of the term.
QByteArray percentEncodeQueryValue(const QString& text);

// The request URL: the term encoded as one query value, the rest of the text
// encoded with the URL-query-allowed set.
QByteArray buildSearchUrl(const QString& searchOrigin, const QString& term,
                          const QString& lowerCountry, const QString& mediaValue,
                          const QString& entity = {});

// The URL to send, when the encoded text is a usable absolute link; the
// returned URL encodes back to exactly `encoded`.
std::optional<QUrl> validatedUrl(const QByteArray& encoded);

// A store link or a bare catalogue id typed into the search field: the item
// to look up, and the storefront the link names (lower case; empty when none).
struct LookupTarget {
    qint64 id = 0;
    QString lowerCountry;
    bool operator==(const LookupTarget&) const = default;
};
// Digits only, or a link of the store's sites (music, itunes, apps, books,
// podcasts, tv) with an id in its path: "…/album/<name>/<id>", "…/id<id>".
std::optional<LookupTarget> lookupTarget(const QString& term);
// A store link whose id the lookup endpoint does not know (tv.apple.com's
// "umc.cmc…" ids): the words of its title ("…/show/ted-lasso/umc…" gives
// "ted lasso"), to search as text.
std::optional<QString> storeLinkTitle(const QString& term);

QByteArray buildLookupUrl(const QString& searchOrigin, qint64 id, const QString& lowerCountry);

// The music albums of a search (`artistOnly`: the artists named `term`, as
// attribute=artistTerm asks), at most `limit`.
QByteArray buildAlbumSearchUrl(const QString& searchOrigin, const QString& term,
                               const QString& lowerCountry, bool artistOnly, int limit);
// A lookup of several items at once: `key` "id" or "upc", the values joined
// by commas; `entity` "album" lists the albums of artist ids.
QByteArray buildLookupListUrl(const QString& searchOrigin, const QString& key,
                              const QStringList& values, const QString& lowerCountry,
                              const QString& entity = {}, int limit = 0);

// The media value a lookup result stands for ("music" for an album, "movie",
// "software", ...), or `fallback` when it names none.
QString entityOf(const QJsonObject& result, const QString& fallback);

// How an answer is read: a search keeps what the media kind shows; a lookup
// keeps every item; albums keep only collections (a listing starts with its
// artist, a lookup by id may hold songs or films).
enum class AnswerKind { Search, Lookup, Albums };

struct ParsedAnswer {
    bool isJsonObject = false;
    QList<CatalogueItem> records;
};

// Turns a search answer into records, in answer order: elements that are not
// objects are skipped, a record whose identity is already listed is dropped,
// and a music term search keeps only results whose "kind" is a text other
// than "music-video". A lookup answer (collections without a kind) keeps every
// item, each built for the media it stands for.
ParsedAnswer parseAnswer(const QByteArray& body, const QString& mediaValue,
                         const QString& lowerCountry, const ServiceOrigins& origins,
                         AnswerKind kind = AnswerKind::Search);

} // namespace StoreRequests
