#pragma once

#include <QString>

// Names from the network are text, never commands: a terminal, a file name, a
// window title or an alert gets them without their control characters.
namespace TextSafety {

// `text` without C0 controls (tab kept), DEL and C1 controls.
inline QString withoutControlCharacters(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x20 || u == u'\t') && (u < 0x7F || u > 0x9F)) {
            clean.append(c);
        }
    }
    return clean;
}

// A path or a file-name pattern inside a sentence of the window: it reads left
// to right even in a right-to-left language (isolated, so that it does not
// reorder the words around it either).
inline QString leftToRight(const QString& text) {
    return QChar(0x2066) + text + QChar(0x2069);
}

} // namespace TextSafety
