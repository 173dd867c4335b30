#include "catalogue/MediaTables.h"

#include <QCoreApplication>
#include <QHash>

#include <array>
#include <utility>

namespace {

const std::array<std::pair<const char*, const char*>, 9> kMedia{{
    {QT_TRANSLATE_NOOP("MediaTables", "Audiobooks"), "audiobook"},
    {QT_TRANSLATE_NOOP("MediaTables", "eBooks"), "ebook"},
    {QT_TRANSLATE_NOOP("MediaTables", "Movies"), "movie"},
    {QT_TRANSLATE_NOOP("MediaTables", "Music"), "music"},
    {QT_TRANSLATE_NOOP("MediaTables", "Music Videos"), "musicVideo"},
    {QT_TRANSLATE_NOOP("MediaTables", "Podcasts"), "podcast"},
    {QT_TRANSLATE_NOOP("MediaTables", "Short Films"), "shortFilm"},
    {QT_TRANSLATE_NOOP("MediaTables", "Software"), "software"},
    {QT_TRANSLATE_NOOP("MediaTables", "TV Shows"), "tvShow"},
}};

QStringList split(const char* codes) {
    return QString::fromLatin1(codes).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

namespace MediaTables {

const QStringList& mediaTitles() {
    static const QStringList titles = [] {
        QStringList list;
        for (const auto& [title, value] : kMedia) {
            list.append(QString::fromLatin1(title));
        }
        return list;
    }();
    return titles;
}

std::optional<QString> mediaParameter(const QString& mediaTitle) {
    for (const auto& [title, value] : kMedia) {
        if (mediaTitle == QLatin1String(title)) {
            return QString::fromLatin1(value);
        }
    }
    return std::nullopt;
}

QString displayTitle(const QString& mediaTitle) {
    return QCoreApplication::translate("MediaTables", mediaTitle.toUtf8().constData());
}

QString mediaTitle(const QString& mediaValue) {
    for (const auto& [title, value] : kMedia) {
        if (mediaValue == QLatin1String(value)) {
            return QString::fromLatin1(title);
        }
    }
    return {};
}

bool isMediaAvailable(const QString& mediaTitle, const QString& countryCode) {
    if (mediaTitle == QLatin1String("Audiobooks")) {
        return audiobookCountries().contains(countryCode);
    }
    if (mediaTitle == QLatin1String("Movies") || mediaTitle == QLatin1String("Short Films")) {
        return !noMovieCountries().contains(countryCode);
    }
    if (mediaTitle == QLatin1String("TV Shows")) {
        return tvShowCountries().contains(countryCode);
    }
    return true;
}

const QStringList& countryCodes() {
    static const QStringList codes = split(
        "AE AG AI AM AR AT AU AZ BB BE BF BG BH BM BN BO BR BS BW BY BZ CA CH CL CO CR CV CY CZ "
        "DE DK DM DO EC EE EG ES FI FJ FM FR GB GD GH GM GR GT GW HK HN HU ID IE IL IN IT JO JP "
        "KE KG KH KN KY KZ LA LB LK LT LU LV MD MN MO MT MU MX MY MZ NA NE NG NI NL NO NP NZ OM "
        "PA PE PG PH PL PT PY QA RO RU SA SE SG SI SK SV SZ TH TJ TM TR TT TW UA UG US UZ VE VG "
        "VN ZA ZW");
    return codes;
}

const QStringList& audiobookCountries() {
    static const QStringList codes =
        split("AT AU BE CA CH DE DK ES FI FR GB GR IE IT JP LU NL NO NZ PT SE US");
    return codes;
}

const QStringList& noMovieCountries() {
    static const QStringList codes = split("BB BF KE KG KZ NG NP PG RO UZ");
    return codes;
}

const QStringList& tvShowCountries() {
    static const QStringList codes = split("AU CA DE FR GB US");
    return codes;
}

} // namespace MediaTables

QString MediaTables::countryOfStorefrontId(uint id) {
    static const QHash<uint, QString> codes{
        {143441, QStringLiteral("US")}, {143442, QStringLiteral("FR")},
        {143443, QStringLiteral("DE")}, {143444, QStringLiteral("GB")},
        {143445, QStringLiteral("AT")}, {143446, QStringLiteral("BE")},
        {143447, QStringLiteral("FI")}, {143448, QStringLiteral("GR")},
        {143449, QStringLiteral("IE")}, {143450, QStringLiteral("IT")},
        {143451, QStringLiteral("LU")}, {143452, QStringLiteral("NL")},
        {143453, QStringLiteral("PT")}, {143454, QStringLiteral("ES")},
        {143455, QStringLiteral("CA")}, {143456, QStringLiteral("SE")},
        {143457, QStringLiteral("NO")}, {143458, QStringLiteral("DK")},
        {143459, QStringLiteral("CH")}, {143460, QStringLiteral("AU")},
        {143461, QStringLiteral("NZ")}, {143462, QStringLiteral("JP")},
        {143463, QStringLiteral("HK")}, {143464, QStringLiteral("SG")},
        {143465, QStringLiteral("CN")}, {143466, QStringLiteral("KR")},
        {143467, QStringLiteral("IN")}, {143468, QStringLiteral("MX")},
        {143469, QStringLiteral("RU")}, {143470, QStringLiteral("TW")},
        {143478, QStringLiteral("PL")}, {143503, QStringLiteral("BR")},
        {143505, QStringLiteral("AR")}, {143483, QStringLiteral("CL")},
        {143501, QStringLiteral("CO")}, {143480, QStringLiteral("TR")},
        {143472, QStringLiteral("ZA")}, {143489, QStringLiteral("CZ")},
        {143482, QStringLiteral("HU")}, {143473, QStringLiteral("MY")},
        {143474, QStringLiteral("PH")}, {143475, QStringLiteral("TH")},
        {143476, QStringLiteral("ID")}, {143491, QStringLiteral("IL")},
        {143481, QStringLiteral("AE")}, {143479, QStringLiteral("SA")},
    };
    const QString code = codes.value(id);
    return countryCodes().contains(code) ? code : QString();
}
