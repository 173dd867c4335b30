#pragma once

#include <QString>

class MediaHelper {
public:
    // The file name of a cover: the stored name format with its tokens
    // %{artistName} and %{collectionName} filled in, then the stored naming
    // options applied. Reads the settings at every call.
    static QString coverFileName(const QString& artistName, const QString& collectionName);

    // The same rules on explicit inputs; switches count only when exactly 1.
    static QString buildFileName(const QString& format, const QString& artistName,
                                 const QString& collectionName, qint64 replaceSpaces,
                                 qint64 replaceCharacters, qint64 lowercase);
};
