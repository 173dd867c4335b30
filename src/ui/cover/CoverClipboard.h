#pragma once

#include <QUrl>

#include <functional>

class Clipboard;
class QObject;

namespace CoverClipboard {

// Puts the cover file on the clipboard: the file, its path and its JPEG at
// once (read on a worker: a large cover takes a while), then a PNG for the
// applications that paste only PNG, encoded on a worker from the same bytes.
// `copied` runs on `context`'s thread once the file is there.
void copyImageFile(Clipboard& clipboard, const QUrl& file, QObject* context,
                   std::function<void()> copied);

} // namespace CoverClipboard
