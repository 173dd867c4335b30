#pragma once

#include "catalogue/CatalogueItem.h"
#include "catalogue/CoverItem.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// How a request to a cover source ended.
enum class SearchResultKind {
    Completed,        // an answer arrived; records may be empty
    UrlNotFormed,     // no request could be formed; nothing was sent
    AnswerUnreadable, // a client error, or an answer too large to read
    NotASearchResult, // an answer that is no search result (a web page, say)
    Offline,          // the source could not be reached
    TimedOut,         // it took the request but did not answer in time
    Throttled,        // the source refused for its rate limit
    Unavailable,      // the service failed
};

struct SearchOutcome {
    SearchResultKind kind = SearchResultKind::Completed;
    QList<CatalogueItem> records;
    QString detail; // transport error text, for command-line diagnostics
};

// One place a cover can be had: a rendition of the artwork, or its original
// upload.
struct CoverRung {
    QUrl url;
    bool original = false; // the upload itself, not a rendition of it

    bool operator==(const CoverRung&) const = default;
};

// One request to a source. Every request carries the storefront it asks
// (and, where the source has them, the language of its answers).
struct SourceRequest {
    enum class Kind {
        Search,      // the window's search: `term` in `mediaTitle`, narrowed to `entity`
        Ids,         // albums by the source's own ids (`values`)
        Barcodes,    // albums by release barcodes (`values`)
        Listing,     // artists' albums: by their ids (`values`), else one artist (`term`)
        AlbumSearch, // one album by artist and title (`term`)
    };
    Kind kind = Kind::Search;
    QString term;
    QString mediaTitle = QStringLiteral("Music");
    QString entity;
    QStringList values;
    QString storefront = QStringLiteral("US"); // two-letter code, either case
    QString language;                          // "ja_jp"; empty: the storefront's own
};

// Runs one request at a time for whoever made it: a new request, or
// cancel(), abandons the one running, whose callback then never runs.
class SourceClient : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const SearchOutcome&)>;

    using QObject::QObject;
    // The callback runs on this object's thread; at once when no request
    // can be formed.
    virtual void run(const SourceRequest& request, Callback callback) = 0;
    virtual void cancel() = 0;
    virtual bool isRunning() const = 0;
};

// What a source can be asked: the fill plans its requests from it.
struct SourceCapabilities {
    bool idLookups = false;          // albums by the source's own ids
    bool barcodeLookups = false;     // albums by release barcodes
    bool artistListings = false;     // an artist's albums by name
    bool listingsByArtistId = false; // several artists' albums by their ids
    int mostValues = 1;              // ids or barcodes in one request
    int mostRequestLength = 2000;    // characters a request's address may have
    int listingLimit = 200;          // albums in one listing
    int artistsPerListing = 1;       // artists listed by id in one request
};

// How a source wants to be asked.
struct SourceEtiquette {
    int intervalMs = 3000;           // the least time between two requests
    QList<int> backOffs{10, 20, 40}; // waits for its rate limit, in intervals
    int missedDeadlinesToStop = 3;   // unanswered requests in a row that end a run
};

// Where covers come from: what can be asked of it and how, the artwork of
// an item, and the hosts that artwork may be fetched from.
class CoverSource {
public:
    virtual ~CoverSource() = default;

    // The source as messages name it ("the iTunes Store").
    virtual QString name() const = 0;
    virtual SourceCapabilities capabilities() const = 0;
    virtual SourceEtiquette etiquette() const = 0;
    // A client of its own for `parent`, to run requests with.
    virtual SourceClient* newClient(QObject* parent) const = 0;

    // The places the cover of `item` can be had, best first: the original
    // upload and the largest renditions when `highQuality`, then the
    // standard one.
    virtual QList<CoverRung> rungs(const CoverItem& item, bool highQuality) const = 0;
    // Whether artwork may be fetched from `url`, and whether a request to
    // the source may be redirected from `from` to `to`.
    virtual bool isArtworkUrl(const QUrl& url) const = 0;
    virtual bool allowsRedirect(const QUrl& from, const QUrl& to) const = 0;
    // The item a link of the source (or a bare id) typed as a search term
    // names; none for plain words.
    virtual std::optional<qint64> linkedItem(const QString& term) const = 0;
};

// The sources the program knows, in the order they are asked; the first is
// the one the window and the fill ask.
class CoverSources {
public:
    void add(std::unique_ptr<CoverSource> source);
    const CoverSource& primary() const;
    const QList<const CoverSource*> all() const;

    // Whether any source's artwork may come from `url`.
    bool isArtworkUrl(const QUrl& url) const;
    bool allowsRedirect(const QUrl& from, const QUrl& to) const;

private:
    std::vector<std::unique_ptr<CoverSource>> m_sources;
};
