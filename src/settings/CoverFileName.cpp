#include "CoverFileName.h"

#include "StoredSettings.h"
#include "TextSafety.h"

#include <QRegularExpression>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace CoverFileName {

QString fromSettings(const QString& artistName, const QString& collectionName) {
    const QString format = StoredSettings::ensureNameFormat();
    const qint64 spaces = StoredSettings::ensureReplaceSpaces();
    const qint64 characters = StoredSettings::ensureReplaceCharacters();
    const qint64 lower = StoredSettings::ensureLowercase();
    return build(format, artistName, collectionName, spaces, characters, lower);
}

namespace {

// A name inserted into a file name: "/" and NUL cannot stand in a Linux file
// name, whatever the options, and control characters have no place in one.
QString insertable(const QString& name) {
    QString text = TextSafety::withoutControlCharacters(name);
    text.replace(QLatin1Char('/'), QLatin1Char('_'));
    return text;
}

// Full Unicode lower-case mapping, final sigma included ("ΟΔΟΣ" gives "οδος").
QString lowerCased(const QString& text) {
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
    unicode.toLower(icu::Locale::getRoot());
    return QString(reinterpret_cast<const QChar*>(unicode.getBuffer()), unicode.length());
}

} // namespace

QString build(const QString& format, const QString& artistName, const QString& collectionName,
              qint64 replaceSpaces, qint64 replaceCharacters, qint64 lowercase) {
    QString name = TextSafety::withoutControlCharacters(format);
    name.replace(QStringLiteral("%{artistName}"), insertable(artistName));
    name.replace(QStringLiteral("%{collectionName}"), insertable(collectionName));
    if (replaceSpaces == 1) {
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
    }
    if (replaceCharacters == 1) {
        static const QRegularExpression unsafe(QStringLiteral(R"([/\\:*?"<>|])"));
        name.replace(unsafe, QStringLiteral("_"));
    }
    if (lowercase == 1) {
        name = lowerCased(name);
    }
    return name;
}

} // namespace CoverFileName
