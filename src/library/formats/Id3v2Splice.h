#pragma once

#include "library/formats/AudioFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// An ID3v2 tag as bytes, and a picture frame spliced into it. TagLib would
// render the whole tag anew and drop the frames it does not know (or cannot
// write in the tag's version); here every frame keeps its bytes, and only the
// picture frame is new.
namespace Id3v2Splice {

struct Frame {
    QByteArray id;
    qsizetype offset = 0; // in the tag
    qsizetype size = 0;   // with its header
    int pictureType = -1; // an APIC (PIC) frame's picture type
};

struct Layout {
    int version = 0; // 2, 3 or 4
    qsizetype framesStart = 0;
    qsizetype framesEnd = 0; // where padding (or bytes no reader takes) begins
    QList<Frame> frames;
    QString unsupported; // why the tag is not rewritten
    bool hasFooter = false;
};

// The layout of `tag`, a whole tag from its header on.
Layout parse(const QByteArray& tag);

// The picture as a frame of the tag's version: APIC, or PIC in ID3v2.2.
QByteArray pictureFrame(int version, const EmbeddedPicture& picture);

// `tag` with `frame` added after its frames, and its front covers removed
// when `replaceFront`. The tag keeps its size when its padding has room.
QByteArray splice(const Layout& layout, const QByteArray& tag, const QByteArray& frame,
                  bool replaceFront);

// A new ID3v2.4 tag holding `frame`, with room to spare.
QByteArray newTag(const QByteArray& frame);

} // namespace Id3v2Splice
