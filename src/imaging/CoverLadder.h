#pragma once

#include "imaging/ImageService.h"
#include "sources/CoverSource.h"

#include <QObject>
#include <QSize>
#include <QTimer>
#include <QUrl>

#include <optional>

// What a downloaded cover really is: its pixel size (decoded from the bytes,
// never the asked-for box), format, download size and kind.
struct CoverFacts {
    QSize size;
    QString format; // "JPEG", "PNG", "TIFF", "WEBP", ...
    qint64 bytes = 0;
    bool original = false;

    static CoverFacts of(const QByteArray& encoded, bool original);
    // The same from a decoded cover, without reading its header again.
    static CoverFacts of(const CoverImage& cover, bool original);
    // "3000 × 3000 · JPEG · 2.4 MB · original", "1400 × 2100 · JPEG · 310 KB"
    QString display() const;
    // "1400×2100 JPEG 310 KB rendition"
    QString line() const;
};

namespace CoverLadder {

// The rungs in the order to try them: the one that answered for this cover
// earlier in the run first.
QList<CoverRung> inTryingOrder(const QList<CoverRung>& rungs);

} // namespace CoverLadder

// Climbs down the rungs: loads each through the image service (memory, disk,
// network) until one gives an image; a rung that fails (HTTP error, bytes that
// are no image, too large, stalled) hands over to the next at once. The high
// rungs share one stall allowance (the transfer timeout in all, not each):
// when it runs out, the standard rendition, served by other hosts, is tried
// at once. The rung that answered is remembered for the run. One climb at a
// time.
class CoverLoader : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const ImageLoadResult& result, const CoverRung& rung)>;

    explicit CoverLoader(ImageService& service, QObject* parent = nullptr);
    ~CoverLoader() override;

    // Starts a climb down `rungs` (as a source gives them, tried in
    // trying order), cancelling the one running. `progress` hears each rung's
    // download; `completion` runs once, on the GUI thread, with the image and
    // its rung, or with the last rung's failure. Never when cancelled.
    void load(const QList<CoverRung>& rungs, const QSize& box, ImageService::Progress progress,
              Completion completion);
    void cancel();
    bool isLoading() const { return m_token != 0; }

private:
    void tryNext();
    void stalled();

    ImageService& m_service;
    QUrl m_cover;               // the first rung of the ladder: which cover this is
    CoverRung m_standard;       // the last rung: the standard rendition
    QList<CoverRung> m_pending; // still to try, in order
    CoverRung m_trying;
    QSize m_box;
    ImageService::Progress m_progress;
    Completion m_completion;
    ImageService::Token m_token = 0;
    quint64 m_climb = 0;
    QTimer m_stall; // the high rungs' allowance: restarted by every byte
};
