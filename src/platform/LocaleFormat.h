#pragma once

#include <QLocale>
#include <QString>

// Numbers as the user reads them: sizes and counts in the locale's digits
// and separators ("2,4 MB", "1.234" in German). Years, catalogue ids and the
// tokens of file names are not quantities and never pass through here.
namespace LocaleFormat {

// A size in units of 1024 bytes, as "MB" has always meant here: "87 kB",
// "2.4 MB" with `decimals` places from a megabyte up; never less than 1 kB
// but for nothing at all ("0 bytes").
QString dataSize(qint64 bytes, int decimals = 1, const QLocale& locale = QLocale());

// A count: "1,234" in English, "1.234" in German.
QString count(qint64 value, const QLocale& locale = QLocale());

} // namespace LocaleFormat
