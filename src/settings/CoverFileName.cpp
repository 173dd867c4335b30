#include "settings/CoverFileName.h"

#include "platform/TextSafety.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace CoverFileName {

QList<Token> tokens() {
    static const std::pair<const char*, const char*> kTokens[] = {
        {"%{artistName}", QT_TRANSLATE_NOOP("CoverFileName", "Artist Name")},
        {"%{collectionName}", QT_TRANSLATE_NOOP("CoverFileName", "Collection Name")},
        {"%{year}", QT_TRANSLATE_NOOP("CoverFileName", "Year")},
        {"%{mediaKind}", QT_TRANSLATE_NOOP("CoverFileName", "Media Kind")},
    };
    QList<Token> list;
    for (const auto& [text, title] : kTokens) {
        list.append({QLatin1String(text), QCoreApplication::translate("CoverFileName", title)});
    }
    return list;
}

QString fromSettings(const Settings& settings, const NameFields& fields) {
    const QString format = settings.nameFormatFor(fields.mediaKind);
    const qint64 spaces = settings.value(Settings::replaceSpaces) ? 1 : 0;
    const qint64 characters = settings.value(Settings::replaceCharacters) ? 1 : 0;
    const qint64 lower = settings.value(Settings::lowercase) ? 1 : 0;
    return build(format, fields, spaces, characters, lower);
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

QString build(const QString& format, const NameFields& fields, qint64 replaceSpaces,
              qint64 replaceCharacters, qint64 lowercase) {
    QString name = TextSafety::withoutControlCharacters(format);
    // The year and the media kind go in before the names, so that a token
    // inside a name stays as it is; the artist's name goes in before the
    // collection's.
    if (fields.year <= 0) {
        // "Up (%{year}).jpg" is "Up.jpg" for a record without a date, not "Up ().jpg".
        static const QRegularExpression bracketed(
            QStringLiteral(R"(\s*(\(%\{year\}\)|\[%\{year\}\]))"));
        name.remove(bracketed);
    }
    name.replace(QStringLiteral("%{year}"),
                 fields.year > 0 ? QString::number(fields.year) : QString());
    name.replace(QStringLiteral("%{mediaKind}"), insertable(fields.mediaKind));
    name.replace(QStringLiteral("%{artistName}"), insertable(fields.artistName));
    name.replace(QStringLiteral("%{collectionName}"), insertable(fields.collectionName));
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

std::optional<QString> formatProblem(const QString& format) {
    const QString name = format.trimmed();
    if (name.isEmpty()) {
        return QCoreApplication::translate("CoverFileName", "Type a name for the cover files.");
    }
    if (name.contains(QLatin1Char('/'))) {
        return QCoreApplication::translate("CoverFileName", "A file name cannot contain “/”.");
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    if (extension != QLatin1String("jpg") && extension != QLatin1String("jpeg")) {
        return QCoreApplication::translate(
            "CoverFileName", "End the name with “.jpg”: covers are saved as JPEG files.");
    }
    if (dot == 0) {
        return QCoreApplication::translate("CoverFileName", "Type a name before “.%1”.")
            .arg(name.mid(1));
    }
    return std::nullopt;
}

} // namespace CoverFileName
