#pragma once

#include "catalogue/CatalogueItem.h"
#include "sources/CoverSource.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

// The command line's words for people, in the user's language. What scripts
// read (--json, status names, paths) never goes through it.
class Cli {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

// How sleevanta-cli prints: text for people, or one JSON object per line.
// Names from the catalogue reach the terminal without control characters.
namespace Output {

// `text` made safe for a terminal.
QString terminal(const QString& text);
// One compact JSON object and a line feed.
void jsonLine(QTextStream& out, const QJsonObject& object);
// The exit status for a search that ended this way.
int exitStatusFor(SearchResultKind kind);
// A search result: "N  Collection — Artist" and its cover URL below.
void record(QTextStream& out, qsizetype index, const CatalogueItem& record);
// "42s", "3m05s", "2h07m".
QString duration(qint64 seconds);
// Writes `format`'s text to standard error, safe for a terminal.
void error(const QString& text);

} // namespace Output
