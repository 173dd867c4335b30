#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Storefront countries by name: English (United States) region names from
// CLDR through ICU, independent of the user's locale.
class CountryNames {
public:
    // The region name of a two-letter code, or nothing when CLDR has none.
    static std::optional<QString> displayName(const QString& countryCode);
    struct Storefront {
        QString code;
        QString name;
    };
    // The country picker's entries: every storefront that has a name, sorted
    // by it case-insensitively in the user's locale.
    static QList<Storefront> storefronts();
};
