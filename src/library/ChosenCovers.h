#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// The covers a person chose (with choose, or saved by hand into an album
// folder), remembered per user by the SHA-256 of their bytes: wherever the
// album moves and whichever folder a later fill starts from, no fill replaces
// such a cover. A line of hex per cover in the state folder.
class ChosenCovers {
public:
    // "$XDG_STATE_HOME/Sleevanta/chosen-covers"; tests give their own.
    explicit ChosenCovers(QString path = defaultPath());
    static QString defaultPath();

    bool contains(const QByteArray& coverBytes) const;
    // Adds the cover; false when the list could not be written.
    bool remember(const QByteArray& coverBytes);

private:
    QSet<QByteArray> read() const;

    QString m_path;
};
