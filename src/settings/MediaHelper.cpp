#include "MediaHelper.h"

#include "DefaultsHelper.h"

#include <QRegularExpression>

QString MediaHelper::coverFileName(const QString& artistName, const QString& collectionName) {
    const QString format = DefaultsHelper::storedNameFormat();
    const qint64 spaces = DefaultsHelper::storedReplaceSpaces();
    const qint64 characters = DefaultsHelper::storedReplaceCharacters();
    const qint64 lower = DefaultsHelper::storedLowercase();
    return buildFileName(format, artistName, collectionName, spaces, characters, lower);
}

QString MediaHelper::buildFileName(const QString& format, const QString& artistName,
                                   const QString& collectionName, qint64 replaceSpaces,
                                   qint64 replaceCharacters, qint64 lowercase) {
    QString name = format;
    name.replace(QStringLiteral("%{artistName}"), artistName);
    QString bareCollection = collectionName;
    bareCollection.remove(QLatin1Char('\n'));
    name.replace(QStringLiteral("%{collectionName}"), bareCollection);
    if (replaceSpaces == 1) {
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
    }
    if (replaceCharacters == 1) {
        static const QRegularExpression unsafe(QStringLiteral(R"([/\\:*?"<>|])"));
        name.replace(unsafe, QStringLiteral("_"));
    }
    if (lowercase == 1) {
        // QString::toLower is the full Unicode mapping, independent of locale.
        name = name.toLower();
    }
    return name;
}
