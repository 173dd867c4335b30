#include "imaging/CoverLadder.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>

#include "platform/LocaleFormat.h"
#include "platform/NetworkAccess.h"

namespace {

// Which rung answered for a cover in this run, by the cover's first rung.
QMutex g_rememberedMutex;
QHash<QUrl, CoverRung>& remembered() {
    static QHash<QUrl, CoverRung> answered;
    return answered;
}

} // namespace

CoverFacts CoverFacts::of(const QByteArray& encoded, bool original) {
    const ImageCodec::PictureInfo info = ImageCodec::pictureInfo(encoded);
    return CoverFacts{info.size, QString::fromLatin1(info.format).toUpper(), encoded.size(),
                      original};
}

CoverFacts CoverFacts::of(const CoverImage& cover, bool original) {
    if (cover.format.isEmpty()) {
        return of(cover.encodedData, original);
    }
    return CoverFacts{cover.pictureSize(), QString::fromLatin1(cover.format).toUpper(),
                      cover.encodedData.size(), original};
}

namespace {

// "1.4 MB", "87 KB" for the command line's facts line, which scripts read:
// the same in every language.
QString byteSize(qint64 bytes) {
    const QLocale c = QLocale::c();
    return bytes >= 1024 * 1024
               ? c.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB")
               : c.toString(qMax<qint64>(1, (bytes + 512) / 1024)) + QStringLiteral(" KB");
}

} // namespace

QString CoverFacts::display() const {
    const QString text = QStringLiteral("%1 × %2 · %3 · %4")
                             .arg(size.width())
                             .arg(size.height())
                             .arg(format, LocaleFormat::dataSize(bytes));
    //: Said of a cover that is the artwork's original upload, not a rendition.
    return original ? QCoreApplication::translate("CoverFacts", "%1 · original").arg(text) : text;
}

QString CoverFacts::line() const {
    return QStringLiteral("%1×%2 %3 %4 %5")
        .arg(size.width())
        .arg(size.height())
        .arg(format, byteSize(bytes),
             original ? QStringLiteral("original") : QStringLiteral("rendition"));
}

namespace CoverLadder {

QList<CoverRung> inTryingOrder(const QList<CoverRung>& rungs) {
    QList<CoverRung> list = rungs;
    if (list.isEmpty()) {
        return list;
    }
    QMutexLocker lock(&g_rememberedMutex);
    const auto found = remembered().constFind(list.first().url);
    if (found != remembered().constEnd() && list.contains(*found)) {
        list.removeOne(*found);
        list.prepend(*found);
    }
    return list;
}

} // namespace CoverLadder

CoverLoader::CoverLoader(ImageService& service, QObject* parent)
    : QObject(parent), m_service(service) {
    m_stall.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, &CoverLoader::stalled);
}

CoverLoader::~CoverLoader() {
    cancel();
}

void CoverLoader::load(const QList<CoverRung>& rungs, const QSize& box,
                       ImageService::Progress progress, Completion completion) {
    cancel();
    m_box = box;
    m_cover = rungs.isEmpty() ? QUrl() : rungs.first().url;
    m_standard = rungs.isEmpty() ? CoverRung{} : rungs.last();
    m_pending = CoverLadder::inTryingOrder(rungs);
    // Every byte that arrives restarts the high rungs' allowance.
    m_progress = [this, progress = std::move(progress)](qint64 received, qint64 expected,
                                                        const QUrl& url) {
        if (received > 0 && m_stall.isActive()) {
            m_stall.start();
        }
        if (progress) {
            progress(received, expected, url);
        }
    };
    m_completion = std::move(completion);
    if (m_pending.isEmpty()) {
        // Nothing to climb: the service says why, on the next turn as always.
        m_pending.append(CoverRung{});
    }
    if (rungs.size() > 1) {
        m_stall.start(m_service.network().transferTimeout());
    }
    tryNext();
}

void CoverLoader::cancel() {
    ++m_climb;
    m_stall.stop();
    if (m_token != 0) {
        const ImageService::Token token = m_token;
        m_token = 0;
        m_service.cancel(token);
    }
}

void CoverLoader::stalled() {
    if (m_token == 0 || m_trying == m_standard) {
        return;
    }
    // The high rungs have had their time: on to the standard rendition.
    const bool standardLeft = m_pending.contains(m_standard);
    m_pending.clear();
    if (standardLeft) {
        m_pending.append(m_standard);
    }
    m_service.cancel(std::exchange(m_token, 0));
    ++m_climb;
    if (m_pending.isEmpty()) {
        ImageLoadResult result;
        result.url = m_trying.url;
        result.error = ImageLoadError::TimedOut;
        const Completion completion = m_completion;
        completion(result, m_trying);
        return;
    }
    tryNext();
}

void CoverLoader::tryNext() {
    const quint64 climb = m_climb;
    m_trying = m_pending.takeFirst();
    const CoverRung rung = m_trying;
    if (rung == m_standard) {
        m_stall.stop(); // the service's own stall timeout governs the last rung
    }
    // The service tells of a cancelled load on a later turn, when this loader
    // may be gone.
    QPointer<CoverLoader> self(this);
    m_token = m_service.loadImage(
        rung.url, m_box, m_progress, [this, self, climb, rung](const ImageLoadResult& result) {
            if (!self || climb != m_climb || result.error == ImageLoadError::Cancelled) {
                return;
            }
            m_token = 0;
            if (!result.hasImage() && !m_pending.isEmpty()) {
                tryNext();
                return;
            }
            m_stall.stop();
            if (result.hasImage()) {
                QMutexLocker lock(&g_rememberedMutex);
                remembered().insert(m_cover, rung);
            }
            // Copied: the completion may start the next climb.
            const Completion completion = m_completion;
            completion(result, rung);
        });
}
