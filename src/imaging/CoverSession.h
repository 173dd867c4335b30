#pragma once

#include "catalogue/CoverItem.h"
#include "imaging/CoverLadder.h"
#include "imaging/ImageCodec.h"

#include <QImage>
#include <QObject>
#include <QUrl>

// The selected item's cover, without widgets: loads it (memory, disk cache,
// then the resolution ladder over the network), keeps the temporary cover
// file of the shown cover, and saves it. A window shows what the session
// says; the command line and the tests drive it alike. GUI thread; the slow
// work (decoding, encoding, writing) runs on workers.
class Settings;

class CoverSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,    // nothing selected
        Loading, // an item is selected, its cover not yet at hand
        Shown,   // the cover is at hand
        Failed,  // the cover could not be had: failureReason() says why
    };

    struct SaveResult {
        QString path;     // the file written; empty on failure
        QString fileName; // the name that was meant
        QString folder;   // where it was meant to go
        QString error;    // why not
        bool ok() const { return !path.isEmpty(); }
        // "Saved “cover.jpg” to Downloads." or "Couldn't save “cover.jpg” in
        // /proc: Permission denied."
        QString message() const;
    };

    // The read-out of a download: "Downloading Cover\n1.20 of 3.40 MB · 35 %".
    static QString progressText(qint64 receivedSize, qint64 expectedSize);

    // Covers come from `source` through `service`; saved files are named as
    // `settings` say.
    CoverSession(ImageService& service, const CoverSource& source, const Settings& settings,
                 QObject* parent = nullptr);
    ~CoverSession() override;

    // A session without a window (the command line): no preview and no
    // temporary file, which only a window's drag, copy and share need.
    void setHeadless(bool headless) { m_headless = headless; }

    // Loads `item`'s cover in the chosen quality, decoded for a view of `box`
    // device pixels, abandoning the earlier selection's load and file.
    void select(const CoverItem& item, bool highQuality, const QSize& box);
    // Loads the selected item's cover again (after a failure).
    void retry(const QSize& box);
    // Gives up the running download: Failed, "the download was cancelled".
    void cancelDownload();
    // Back to Idle: no item, no cover, no file.
    void deselect();

    State state() const { return m_state; }
    const CoverItem& item() const { return m_item; }
    // The shown cover; null unless Shown.
    const CoverImage& cover() const { return m_cover; }
    // The file the shown cover was last saved to; empty when it was not.
    QUrl savedFile() const {
        return m_savedPath.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_savedPath);
    }
    // Where the shown cover came from (the rung that answered); empty unless Shown.
    QUrl artworkUrl() const { return m_state == State::Shown ? m_rung.url : QUrl(); }
    CoverFacts facts() const;
    // The temporary cover file of the shown cover; empty until it is written.
    QUrl temporaryFile() const { return m_file; }
    QString failureReason() const { return m_failure; }
    // The item's thumbnail, while the cover downloads; null otherwise.
    QImage preview() const { return m_preview; }
    // Received and expected bytes of the running download (-1: unknown).
    qint64 received() const { return m_received; }
    qint64 expected() const { return m_expected; }

    // The cover's file name under the stored format and options.
    QString suggestedFileName() const;
    // Writes the shown cover as JPEG to `path`, replacing what is there (the
    // save dialog asked), or into `folder` under the suggested name or the
    // first numbered one that is free. Both end in saved().
    void saveAs(const QString& path);
    void saveInto(const QString& folder);

Q_SIGNALS:
    void stateChanged(CoverSession::State state);
    // A download began or moved on.
    void progressChanged(qint64 received, qint64 expected);
    // The item's thumbnail arrived, to stand in while the cover downloads.
    void previewReady(const QImage& preview);
    void coverShown(const CoverImage& cover);
    // The temporary file was written (a URL) or withdrawn (empty).
    void fileChanged(const QUrl& file);
    void saved(const CoverSession::SaveResult& result);

private:
    void loadCover(const QSize& box);
    void setState(State state);
    void setFile(const QUrl& file);
    void loaded(const ImageLoadResult& result, const CoverRung& rung, quint64 selection);
    void downloading(qint64 received, qint64 expected, quint64 selection);
    void loadPreview(quint64 selection);
    void save(const QString& folder, const QString& fileName, bool replace);

    ImageService& m_service;
    const CoverSource& m_source;
    const Settings& m_settings;
    CoverLoader m_loader;
    State m_state = State::Idle;
    CoverItem m_item;
    QList<CoverRung> m_rungs;
    CoverImage m_cover;
    CoverRung m_rung;
    QUrl m_file;
    QString m_savedPath; // where the shown cover was last saved
    QString m_failure;
    QImage m_preview;
    ImageService::Token m_previewLoad = 0;
    qint64 m_received = 0;
    qint64 m_expected = -1;
    quint64 m_selection = 0; // bumped by every selection and clearing
    bool m_headless = false;
};

Q_DECLARE_METATYPE(CoverSession::SaveResult)
