#include "catalogue/CountryNames.h"

#include "catalogue/MediaTables.h"
#include "platform/Translations.h"

#include <QCollator>
#include <QLocale>

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>

std::optional<QString> CountryNames::displayName(const QString& countryCode) {
    if (countryCode.size() != 2) {
        return std::nullopt;
    }
    // In the language of the program's words, so that the names read like them.
    const icu::Locale countryLocale(Translations::language().toLatin1().constData());
    const icu::Locale region("", countryCode.toLatin1().constData());
    icu::UnicodeString name;
    region.getDisplayCountry(countryLocale, name);
    const QString text = QString(reinterpret_cast<const QChar*>(name.getBuffer()), name.length());
    // ICU answers with the code itself when it knows no name.
    if (text.isEmpty() || text == countryCode) {
        return std::nullopt;
    }
    return text;
}

QList<CountryNames::Storefront> CountryNames::storefronts() {
    QList<Storefront> named;
    for (const QString& code : MediaTables::countryCodes()) {
        if (auto name = displayName(code)) {
            named.append({code, *name});
        }
    }
    QCollator collator{QLocale(Translations::language())};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(named.begin(), named.end(), [&collator](const Storefront& a, const Storefront& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return named;
}
