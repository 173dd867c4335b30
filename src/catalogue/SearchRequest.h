#pragma once

#include "AlbumObject.h"
#include "ServiceOrigins.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace SearchRequest {

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
                          const QString& lowerCountry, const QString& mediaValue);

// The URL to send, when the encoded text is a usable absolute link; the
// returned URL encodes back to exactly `encoded`.
std::optional<QUrl> validatedUrl(const QByteArray& encoded);

struct ParsedAnswer {
    bool isJsonObject = false;
    QList<AlbumObject> records;
};

// Turns a search answer into records, in answer order: elements that are not
// objects are skipped, a record whose identity is already listed is dropped,
// and a music search keeps only results whose "kind" is a text other than
// "music-video".
ParsedAnswer parseAnswer(const QByteArray& body, const QString& mediaValue,
                         const QString& lowerCountry, const ServiceOrigins& origins);

} // namespace SearchRequest
