#pragma once

#include <QRegularExpression>
#include <QString>
#include <QUrl>

// Where the remote services live. Production origins by default; the
// environment variable SLEEVANTA_SERVICE_ORIGIN (for example
// http://127.0.0.1:8642) replaces all of them at once, for tests and offline use.
struct ServiceOrigins {
    QString search;      // catalogue search, e.g. https://itunes.apple.com
    QString fullSizeArt; // full-size artwork, e.g. https://a1.mzstatic.com
    QString musicWeb;    // music web listing, e.g. https://music.apple.com
    QString donation;    // donation page, e.g. https://www.paypal.com
    // The thumbnail hosts: the catalogue spreads thumbnails over numbered hosts
    // (is1-ssl, is2-ssl, ...), so this is a pattern for the origin part.
    QRegularExpression thumbnailPrefix;

    // Set when one origin stands in for all (tests, offline use).
    QString overrideOrigin;

    static ServiceOrigins production();
    // Every service at one origin (scheme://host[:port], no trailing slash).
    static ServiceOrigins singleOrigin(const QString& origin);
    // Production, or the override from the environment.
    static ServiceOrigins fromEnvironment();

    QString fullSizePrefix() const { return fullSizeArt + QStringLiteral("/us/r1000/0/"); }

    // Whether artwork may be fetched from `url`: over https from the
    // catalogue's artwork hosts (the numbered thumbnail hosts and the host of
    // originals), or from the overriding origin.
    bool isArtworkUrl(const QUrl& url) const;
    // Whether a request to a service may be redirected to `url`: over https
    // to a host of the same service, or within the overriding origin.
    bool allowsRedirect(const QUrl& from, const QUrl& to) const;
};
