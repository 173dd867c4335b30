#pragma once

#include <QString>

// Text with one font over its whole length: the title lines of a result.
enum class FontWeight { Regular, Thin, Semibold, Bold };

struct AttributedText {
    QString text;
    FontWeight weight = FontWeight::Regular;
    qreal pointSize = 13.0;

    static AttributedText thin(const QString& text) { return {text, FontWeight::Thin, 13.0}; }
    static AttributedText semibold(const QString& text) {
        return {text, FontWeight::Semibold, 13.0};
    }
    bool operator==(const AttributedText&) const = default;
};
