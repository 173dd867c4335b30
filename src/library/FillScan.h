#pragma once

#include "library/AlbumScanner.h"
#include "library/FillOptions.h"
#include "library/FillReport.h"
#include "library/FillTriage.h"
#include "sources/CoverSource.h"

#include <QObject>

#include <atomic>
#include <thread>

// A library's albums read before a fill starts, on a worker thread: each is
// told as it is found, with what can be said of it without asking (a cover
// already there, several albums in one folder, ...). The albums are then
// given to a run, which need not read them again.
class FillScan : public QObject {
    Q_OBJECT
public:
    FillScan(FillOptions options, SourceCapabilities can, QObject* parent = nullptr);
    ~FillScan() override;

    void start();
    // The scan ends at the next album; `finished` still comes, not complete.
    void stop();

    const QList<AlbumFolder>& albums() const { return m_albums; }
    bool isComplete() const { return m_complete; }

Q_SIGNALS:
    // `told`: whether `preview` already says what a run would report.
    void albumFound(const AlbumFolder& album, int index, const AlbumReport& preview, bool told);
    void finished(bool complete);

private:
    void found(const AlbumFolder& album, FillTriage triage);

    FillOptions m_options;
    SourceCapabilities m_can;
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
    QList<AlbumFolder> m_albums;
    bool m_complete = false;
};
