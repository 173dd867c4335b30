#pragma once

#include <QList>
#include <QString>

#include <optional>

class Settings;

// Names cover files: a name format with its tokens filled in from the item,
// then the naming options applied.
namespace CoverFileName {

// What a format's tokens are filled with; an absent field leaves its token's
// place empty.
struct NameFields {
    QString artistName;     // %{artistName}
    QString collectionName; // %{collectionName}
    int year = 0;           // %{year}, the release year (empty when 0)
    QString mediaKind;      // %{mediaKind}, the media title ("Music", "Movies", ...)
};

struct Token {
    QString text;  // "%{artistName}"
    QString title; // what a menu calls it: "Artist Name"
};
// The tokens a format may hold, in menu order, titled in the user's language.
QList<Token> tokens();

// The name under the format stored for the fields' media kind (that of Music
// when the kind has none) and the stored options, read at every call.
QString fromSettings(const Settings& settings, const NameFields& fields);

// The same rules on explicit inputs; switches count only when exactly 1. Names
// from the catalogue lose their control characters and "/" (which no file name
// holds) on the way in.
QString build(const QString& format, const NameFields& fields, qint64 replaceSpaces,
              qint64 replaceCharacters, qint64 lowercase);

// Why `format` cannot name a cover file (empty, a folder separator in it, no
// JPEG extension), as a sentence; none when it can.
std::optional<QString> formatProblem(const QString& format);

} // namespace CoverFileName
