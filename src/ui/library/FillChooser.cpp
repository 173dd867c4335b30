#include "ui/library/FillChooser.h"

#include "library/AppContext.h"
#include "library/FillSaver.h"
#include "library/ReplacedCovers.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

FillChooser::FillChooser(AppContext& context, QObject* parent)
    : QObject(parent), m_context(context) {}

void FillChooser::choose(const FillOptions& options, const AlbumFolder& album, AlbumReport report,
                         const CatalogueItem& item) {
    // A saver writes with the name and embedding it was made with.
    if (!m_saver || m_options.coverName != options.coverName || m_options.embed != options.embed ||
        m_options.highQuality != options.highQuality) {
        if (m_saver) {
            m_saver->deleteLater(); // what it has begun it still tells
        }
        m_options = options;
        m_saver = new FillSaver(options, m_context.images(), m_context.sources().primary(),
                                std::make_shared<std::atomic<bool>>(false), this);
        connect(m_saver, &FillSaver::saved, this, &FillChooser::chosen);
    }
    report.match = item;
    report.rivals.clear();
    report.via = FoundVia::Hand;
    m_saver->add({report, album, item, FillSaver::Writing::Choose});
}

void FillChooser::restore(const QByteArray& root) {
    using Restored = ReplacedCovers::Restored;
    auto* restoring = new QFutureWatcher<QList<Restored>>(this);
    connect(restoring, &QFutureWatcherBase::finished, this, [this, restoring] {
        restoring->deleteLater();
        const QList<Restored> told = restoring->result();
        const int back = int(std::count_if(told.begin(), told.end(), [](const Restored& r) {
            return r.outcome == Restored::Outcome::Restored;
        }));
        Q_EMIT restored(back, int(told.size()) - back);
    });
    restoring->setFuture(QtConcurrent::run([root] { return ReplacedCovers().restore(root); }));
}
