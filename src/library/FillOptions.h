#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How a fill works on a library.
struct FillOptions {
    QByteArray root;                        // the library's folder, as the file system names it
    QList<QByteArray> folders;              // only these folders below it (all of it when empty)
    bool dryRun = false;                    // search and report, write nothing (no journal either)
    bool highQuality = false;               // the resolution ladder; else the 600 rendition
    QString country = QStringLiteral("US"); // the storefront asked first
    QStringList moreCountries;              // then these, in turn, for the albums without a match
    QString coverName = QStringLiteral("cover.jpg"); // where players look
    int intervalMs = 3000; // the least time between two catalogue requests
    bool embed = false;    // also put the cover into the audio files
    int embedSide = 1500;  // the largest picture embedded as it is
    bool retry = false;    // ask again about what the journal remembers
    bool listings = true;  // one listing per artist (else a search per album)
    int upgradeBelow = 0;  // also replace covers smaller than this (pixels); 0: never
};
