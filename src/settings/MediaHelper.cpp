#include "MediaHelper.h"

#include "DefaultsHelper.h"

#include <QRegularExpression>

#include <unicode/locid.h>
#include <unicode/unistr.h>

QString MediaHelper::coverFileName(const QString& artistName, const QString& collectionName) {
    const QString format = DefaultsHelper::storedNameFormat();
    const qint64 spaces = DefaultsHelper::storedReplaceSpaces();
    const qint64 characters = DefaultsHelper::storedReplaceCharacters();
    const qint64 lower = DefaultsHelper::storedLowercase();
    return buildFileName(format, artistName, collectionName, spaces, characters, lower);
}

namespace {

// A name inserted into a file name: "/" and NUL cannot stand in a Linux file
// name, whatever the options.
QString insertable(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    return name;
}

// Full Unicode lower-case mapping, final sigma included ("ΟΔΟΣ" gives "οδος").
QString lowerCased(const QString& text) {
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
    unicode.toLower(icu::Locale::getRoot());
    return QString(reinterpret_cast<const QChar*>(unicode.getBuffer()), unicode.length());
}

} // namespace

QString MediaHelper::buildFileName(const QString& format, const QString& artistName,
                                   const QString& collectionName, qint64 replaceSpaces,
                                   qint64 replaceCharacters, qint64 lowercase) {
    QString name = format;
    name.replace(QStringLiteral("%{artistName}"), insertable(artistName));
    QString bareCollection = collectionName;
    bareCollection.remove(QLatin1Char('\n'));
    name.replace(QStringLiteral("%{collectionName}"), insertable(bareCollection));
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
