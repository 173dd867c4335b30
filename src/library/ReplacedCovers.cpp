#include "library/ReplacedCovers.h"

#include "imaging/CoverFileWriter.h"
#include "imaging/ImageCodec.h"
#include "library/CoverEmbedder.h"
#include "library/EmbedLock.h"
#include "library/TagReader.h"
#include "platform/UserPaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFormat = 1;
constexpr qint64 kLargestCover = 256LL * 1024 * 1024;

QString tr(const char* text) {
    return QCoreApplication::translate("ReplacedCovers", text);
}

QString encoded(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toPercentEncoding("/ "));
}

QByteArray decoded(const QJsonValue& value) {
    return QByteArray::fromPercentEncoding(value.toString().toLatin1());
}

// The folder as it is now named, or as given when it is gone.
QByteArray absoluteFolder(const QByteArray& dir) {
    char resolved[PATH_MAX];
    if (::realpath(dir.constData(), resolved)) {
        return QByteArray(resolved);
    }
    return QFile::encodeName(QDir::cleanPath(QFileInfo(QFile::decodeName(dir)).absoluteFilePath()));
}

bool isUnder(const QByteArray& folder, const QByteArray& dir) {
    return folder == dir || folder.startsWith(dir.endsWith('/') ? dir : dir + '/');
}

// A regular file's bytes, or none (a link, a folder, too large, unreadable).
std::optional<QByteArray> fileBytes(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kLargestCover) {
        return std::nullopt;
    }
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

QString kindName(ReplacedCovers::Entry::Kind kind) {
    using Kind = ReplacedCovers::Entry::Kind;
    return kind == Kind::Link      ? QStringLiteral("link")
           : kind == Kind::Picture ? QStringLiteral("picture")
                                   : QStringLiteral("file");
}

QJsonObject toJson(const ReplacedCovers::Entry& e) {
    const bool link = e.kind == ReplacedCovers::Entry::Kind::Link;
    QJsonObject o{{QStringLiteral("kind"), kindName(e.kind)},
                  {QStringLiteral("folder"), encoded(e.folder)},
                  {QStringLiteral("name"), encoded(e.name)},
                  {QStringLiteral("written"), encoded(e.written)},
                  {QStringLiteral("writtenHash"), QString::fromLatin1(e.writtenHash)},
                  {QStringLiteral("when"), e.when.toSecsSinceEpoch()}};
    o.insert(link ? QStringLiteral("target") : QStringLiteral("hash"),
             link ? encoded(e.target) : QString::fromLatin1(e.hash));
    return o;
}

ReplacedCovers::Entry fromJson(const QJsonObject& o) {
    ReplacedCovers::Entry e;
    for (const auto kind :
         {ReplacedCovers::Entry::Kind::Link, ReplacedCovers::Entry::Kind::Picture}) {
        if (o.value(QStringLiteral("kind")).toString() == kindName(kind)) {
            e.kind = kind;
        }
    }
    e.folder = decoded(o.value(QStringLiteral("folder")));
    e.name = decoded(o.value(QStringLiteral("name")));
    e.hash = o.value(QStringLiteral("hash")).toString().toLatin1();
    e.target = decoded(o.value(QStringLiteral("target")));
    e.written = decoded(o.value(QStringLiteral("written")));
    e.writtenHash = o.value(QStringLiteral("writtenHash")).toString().toLatin1();
    e.when = QDateTime::fromSecsSinceEpoch(o.value(QStringLiteral("when")).toInteger(), Qt::UTC);
    return e;
}

// A link named `name` in `folder` pointing at `target`, put in place of
// whatever has that name.
bool placeLink(const QByteArray& folder, const QByteArray& name, const QByteArray& target) {
    const QByteArray scratch = folder + "/.sleevanta-restoring-" + QByteArray::number(::getpid());
    ::unlink(scratch.constData());
    if (::symlink(target.constData(), scratch.constData()) != 0) {
        return false;
    }
    if (::rename(scratch.constData(), (folder + '/' + name).constData()) != 0) {
        const int code = errno;
        ::unlink(scratch.constData());
        errno = code;
        return false;
    }
    CoverFileWriter::syncFolder(folder);
    return true;
}

} // namespace

ReplacedCovers::ReplacedCovers(QString root) : m_root(std::move(root)) {}

QString ReplacedCovers::defaultRoot() {
    return UserPaths::stateDirectory() + QStringLiteral("/replaced");
}

QByteArray ReplacedCovers::hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString ReplacedCovers::manifestPath() const {
    return m_root + QStringLiteral("/manifest.json");
}

QString ReplacedCovers::objectPath(const QByteArray& hash) const {
    return m_root + QStringLiteral("/objects/") + QString::fromLatin1(hash);
}

bool ReplacedCovers::load(QList<Entry>& entries, QString* error) const {
    QFile file(manifestPath());
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("the list of kept covers %1 cannot be read (%2)")
                     .arg(file.fileName(), file.errorString());
        return false;
    }
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.value(QStringLiteral("format")).toInt() != kFormat) {
        *error = tr("the list of kept covers %1 is damaged").arg(file.fileName());
        return false;
    }
    for (const QJsonValue& value : root.value(QStringLiteral("covers")).toArray()) {
        entries.append(fromJson(value.toObject()));
    }
    return true;
}

bool ReplacedCovers::save(const QList<Entry>& entries, QString* error) const {
    QJsonArray covers;
    for (const Entry& entry : entries) {
        covers.append(toJson(entry));
    }
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("format"), kFormat},
                                                       {QStringLiteral("covers"), covers}})
                                 .toJson(QJsonDocument::Indented);
    QSaveFile file(manifestPath());
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        return true;
    }
    *error = tr("the list of kept covers %1 cannot be written (%2)")
                 .arg(file.fileName(), file.errorString());
    return false;
}

// Removes the kept pictures no entry names any more.
void ReplacedCovers::dropUnused(const QList<Entry>& before, const QList<Entry>& after) const {
    QSet<QByteArray> used;
    for (const Entry& entry : after) {
        used.insert(entry.hash);
    }
    for (const Entry& entry : before) {
        if (!entry.hash.isEmpty() && !used.contains(entry.hash)) {
            QFile::remove(objectPath(entry.hash));
        }
    }
}

QString ReplacedCovers::keep(QList<Entry> entries) {
    const QString objects = m_root + QStringLiteral("/objects");
    if (!QDir().mkpath(objects)) {
        return tr("the folder %1 for kept covers cannot be made").arg(objects);
    }
    QLockFile lock(m_root + QStringLiteral("/manifest.lock"));
    lock.lock();
    for (Entry& entry : entries) {
        entry.folder = absoluteFolder(entry.folder);
        if (entry.kind == Entry::Kind::Link) {
            continue;
        }
        entry.hash = hashOf(entry.bytes);
        const auto written = CoverFileWriter::writeNewFile(
            QFile::encodeName(objects), QString::fromLatin1(entry.hash), entry.bytes,
            CoverFileWriter::Naming::Exact);
        if (!written.ok() && written.errorCode != EEXIST) {
            return tr("%1 cannot be kept aside in %2 (%3)")
                .arg(QFile::decodeName(entry.name), objects, written.error);
        }
        entry.bytes.clear();
    }
    QList<Entry> all;
    QString error;
    if (!load(all, &error)) {
        return error;
    }
    all += entries;
    return save(all, &error) ? QString() : error;
}

void ReplacedCovers::release(const QList<Entry>& released) {
    if (released.isEmpty()) {
        return;
    }
    QLockFile lock(m_root + QStringLiteral("/manifest.lock"));
    QList<Entry> entries;
    QString error;
    if (!lock.lock() || !load(entries, &error)) {
        return;
    }
    QList<Entry> left;
    for (const Entry& entry : std::as_const(entries)) {
        const bool let = std::any_of(released.begin(), released.end(), [&](const Entry& r) {
            return absoluteFolder(r.folder) == entry.folder && r.name == entry.name &&
                   r.when.toSecsSinceEpoch() == entry.when.toSecsSinceEpoch() &&
                   r.writtenHash == entry.writtenHash;
        });
        if (!let) {
            left.append(entry);
        }
    }
    if (save(left, &error)) {
        dropUnused(entries, left);
    }
}

ReplacedCovers::Usage ReplacedCovers::usage() const {
    QList<Entry> entries;
    QString error;
    load(entries, &error);
    Usage usage;
    QSet<QByteArray> counted;
    for (const Entry& entry : std::as_const(entries)) {
        ++usage.covers;
        if (!entry.hash.isEmpty() && !counted.contains(entry.hash)) {
            counted.insert(entry.hash);
            usage.bytes += QFileInfo(objectPath(entry.hash)).size();
        }
    }
    return usage;
}

ReplacedCovers::Restored ReplacedCovers::restoreOne(const Entry& entry) const {
    Restored told{Restored::Outcome::Failed,
                  QFile::decodeName(entry.folder),
                  QFile::decodeName(entry.name),
                  {}};
    struct stat info {};
    if (::stat(entry.folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        told.outcome = Restored::Outcome::FolderGone;
        told.reason = tr("the folder is no longer there (moved or renamed?); nothing was written");
        return told;
    }
    if (entry.kind == Entry::Kind::Picture) {
        return restorePicture(entry, told);
    }
    const QByteArray writtenPath = entry.folder + '/' + entry.written;
    const bool writtenThere = ::lstat(writtenPath.constData(), &info) == 0;
    if (writtenThere &&
        hashOf(fileBytes(writtenPath).value_or(QByteArray())) != entry.writtenHash) {
        told.outcome = Restored::Outcome::Changed;
        told.reason = tr("%1 changed since it was written; it was left as it is")
                          .arg(QFile::decodeName(entry.written));
        return told;
    }
    std::optional<QByteArray> kept;
    if (entry.kind == Entry::Kind::File) {
        kept = fileBytes(QFile::encodeName(objectPath(entry.hash)));
        if (!kept || hashOf(*kept) != entry.hash) {
            told.reason = tr("its kept copy is missing or damaged");
            return told;
        }
    }
    if (kept) {
        const auto written = CoverFileWriter::writeReplacing(
            QFile::decodeName(entry.folder + '/' + entry.name), *kept);
        if (!written.ok()) {
            told.reason = written.error;
            return told;
        }
    } else if (!placeLink(entry.folder, entry.name, entry.target)) {
        told.reason = CoverFileWriter::systemError(errno);
        return told;
    }
    // Only now: the new cover goes when the old one is back in its place.
    if (writtenThere && entry.written != entry.name) {
        ::unlink(writtenPath.constData());
    }
    told.outcome = Restored::Outcome::Restored;
    return told;
}

// An embedded picture goes back into its file (as its front cover), when the
// file still carries the picture that replaced it.
ReplacedCovers::Restored ReplacedCovers::restorePicture(const Entry& entry, Restored told) const {
    const QByteArray path = entry.folder + '/' + entry.name;
    const std::atomic<bool> never = false;
    const auto now = TagReader(never).frontCoverOf(path);
    if (!now || hashOf(*now) != entry.writtenHash) {
        told.outcome = Restored::Outcome::Changed;
        told.reason = tr("its cover changed since it was embedded; it was left as it is");
        return told;
    }
    const auto kept = fileBytes(QFile::encodeName(objectPath(entry.hash)));
    if (!kept || hashOf(*kept) != entry.hash) {
        told.reason = tr("its kept copy is missing or damaged");
        return told;
    }
    const QByteArray mime =
        ImageCodec::pictureInfo(*kept).format == "png" ? "image/png" : "image/jpeg";
    const auto result = CoverEmbedder::embed(path, {*kept, mime}, true);
    if (result.outcome != CoverEmbedder::Result::Outcome::Embedded) {
        told.reason = result.error;
        return told;
    }
    told.outcome = Restored::Outcome::Restored;
    return told;
}

QList<ReplacedCovers::Restored> ReplacedCovers::restore(const QByteArray& dir,
                                                        const std::atomic<bool>* stop) {
    QLockFile lock(m_root + QStringLiteral("/manifest.lock"));
    QList<Entry> entries;
    QString error;
    if (!QDir().mkpath(m_root) || !lock.lock() || !load(entries, &error)) {
        return {Restored{Restored::Outcome::Failed,
                         QFile::decodeName(dir),
                         {},
                         error.isEmpty() ? tr("the kept covers cannot be read") : error}};
    }
    const QByteArray under = absoluteFolder(dir);
    QList<Restored> told;
    QList<Entry> left = entries;
    // Newest first: a cover replaced twice goes back to its first state.
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const Entry& entry = entries[i];
        if (!isUnder(entry.folder, under) || (stop && stop->load())) {
            continue;
        }
        const EmbedLock folderLock(entry.folder, stop);
        told.append(restoreOne(entry));
        if (told.last().outcome == Restored::Outcome::Restored) {
            left.removeAt(i);
        }
    }
    if (left.size() != entries.size() && save(left, &error)) {
        dropUnused(entries, left);
    }
    return told;
}

int ReplacedCovers::forget(const QByteArray& dir) {
    QLockFile lock(m_root + QStringLiteral("/manifest.lock"));
    QList<Entry> entries;
    QString error;
    if (!QFileInfo::exists(manifestPath()) || !lock.lock() || !load(entries, &error)) {
        return 0;
    }
    const QByteArray under = absoluteFolder(dir);
    QList<Entry> left;
    for (const Entry& entry : std::as_const(entries)) {
        if (!isUnder(entry.folder, under)) {
            left.append(entry);
        }
    }
    if (left.size() != entries.size() && save(left, &error)) {
        dropUnused(entries, left);
    }
    return int(entries.size() - left.size());
}
