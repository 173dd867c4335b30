#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The fixed media and storefront tables behind the search pane's pickers.
namespace MediaTables {

// The nine media titles, in picker order. They are keys (settings, stored
// values, file names): shown only through displayTitle().
const QStringList& mediaTitles();
// A media title in the user's language.
QString displayTitle(const QString& mediaTitle);
// The value a media title sends to the service; none for any other text.
std::optional<QString> mediaParameter(const QString& mediaTitle);
// The media title of a value the service knows ("movie" gives "Movies");
// empty for any other text.
QString mediaTitle(const QString& mediaValue);
// Whether a media title is offered in a storefront; unknown titles always are.
bool isMediaAvailable(const QString& mediaTitle, const QString& countryCode);

const QStringList& countryCodes();
// The storefront code ("US") of a store's numeric storefront id (143441), as
// files bought in the store carry it (MP4 "sfID"); empty for one not known.
QString countryOfStorefrontId(uint id);
const QStringList& audiobookCountries();
const QStringList& noMovieCountries();
const QStringList& tvShowCountries();

} // namespace MediaTables
