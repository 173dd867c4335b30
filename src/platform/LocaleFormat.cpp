#include "platform/LocaleFormat.h"

namespace LocaleFormat {

QString dataSize(qint64 bytes, int decimals, const QLocale& locale) {
    constexpr qint64 kilobyte = 1024;
    constexpr qint64 megabyte = 1024 * 1024;
    const qint64 shown = bytes > 0 ? qMax(bytes, kilobyte) : 0;
    return locale.formattedDataSize(shown, shown < megabyte ? 0 : decimals,
                                    QLocale::DataSizeTraditionalFormat);
}

QString count(qint64 value, const QLocale& locale) {
    return locale.toString(value);
}

} // namespace LocaleFormat
