#include "Barcode.h"

namespace Barcode {

namespace {

// The GTIN check: digits weighted 3 and 1 from the right, the check digit
// making the sum a multiple of ten.
bool checkDigitHolds(const QString& digits) {
    int sum = 0;
    for (qsizetype i = 0; i < digits.size() - 1; ++i) {
        const int digit = digits[digits.size() - 2 - i].digitValue();
        sum += (i % 2 == 0) ? 3 * digit : digit;
    }
    return (10 - sum % 10) % 10 == digits.back().digitValue();
}

} // namespace

std::optional<QString> normalised(const QString& text) {
    QString digits;
    for (const QChar c : text.trimmed()) {
        if (c.isDigit() && c.unicode() < 0x80) {
            digits.append(c);
        } else if (c != QLatin1Char(' ') && c != QLatin1Char('-')) {
            return std::nullopt;
        }
    }
    if ((digits.size() != 12 && digits.size() != 13) || !checkDigitHolds(digits)) {
        return std::nullopt;
    }
    return digits;
}

QStringList forms(const QString& normalisedBarcode) {
    if (normalisedBarcode.size() == 12) {
        return {normalisedBarcode, QLatin1Char('0') + normalisedBarcode};
    }
    if (normalisedBarcode.startsWith(QLatin1Char('0'))) {
        return {normalisedBarcode, normalisedBarcode.mid(1)};
    }
    return {normalisedBarcode};
}

} // namespace Barcode
