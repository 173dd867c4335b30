#pragma once

#include <QString>

// Names cover files: a name format with the tokens %{artistName} and
// %{collectionName} filled in, then the naming options applied.
namespace CoverFileName {

// The name under the stored format and options, read at every call.
QString fromSettings(const QString& artistName, const QString& collectionName);

// The same rules on explicit inputs; switches count only when exactly 1. Names
// from the catalogue lose their control characters and "/" (which no file name
// holds) on the way in.
QString build(const QString& format, const QString& artistName, const QString& collectionName,
              qint64 replaceSpaces, qint64 replaceCharacters, qint64 lowercase);

} // namespace CoverFileName
