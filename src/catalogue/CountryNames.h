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
    // The country picker's titles: the names of every storefront that has
    // one, sorted case-insensitively in the user's locale.
    static QStringList countryNames();
    // The storefront code whose name equals `name` exactly, if any.
    static std::optional<QString> countryCode(const QString& name);
};
