#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Release barcodes as taggers write them (UPC-A, EAN-13), checked.
namespace Barcode {

// The barcode's digits when it is one: spaces and dashes dropped, 12 or 13
// digits with a check digit that holds. None for anything else.
std::optional<QString> normalised(const QString& text);

// The forms a store may keep a barcode under: a 12-digit UPC and the same as
// a 13-digit EAN with a leading 0, whichever was given first.
QStringList forms(const QString& normalisedBarcode);

} // namespace Barcode
