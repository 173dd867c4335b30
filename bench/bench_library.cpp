// Scanning a music library: a generated tree of album folders (ten tagged MP3s
// each, 400 artists, every other album with its cover beside it) is walked twice, warm; reported
// are folders per second, the time to the first album found, and the peak memory while scanning,
// for the first quarter and for the whole tree (streaming keeps the two alike). Then the catalogue
// requests a fill takes per album, against the fixture catalogue: 45 albums by 10 artists named by
// their tags alone, and the same with nine albums in ten carrying their barcode.
#include "FixtureDiscography.h"
#include "FixtureServer.h"
#include "library/AlbumScanner.h"
#include "library/AppContext.h"
#include "library/FillRun.h"
#include "sources/store/ServiceOrigins.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

#include <QEventLoop>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kAlbums = 2000;
constexpr int kTracks = 10;

// VmHWM and VmRSS of this process, in KB.
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// This process's user and system time.
double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5"); // peak RSS back to the present RSS
    }
}

// A small cover, as rips of years ago have them.
QByteArray smallCover() {
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg");
    return bytes;
}

bool generate(const QString& root) {
    const QByteArray picture = smallCover();
    const QByteArray frames = [] {
        QByteArray silent;
        for (int i = 0; i < 3; ++i) {
            silent += QByteArray::fromHex("fffb9064") + QByteArray(413, '\0');
        }
        return silent;
    }();
    for (int a = 0; a < kAlbums; ++a) {
        const QString artist = QStringLiteral("Artist %1").arg(a % 400);
        const QString folder = QStringLiteral("%1/%2/Album %3 (2016)").arg(root, artist).arg(a);
        if (!QDir().mkpath(folder)) {
            return false;
        }
        // One track tagged by TagLib, the album's others copies of it.
        const QString first = folder + QStringLiteral("/01.mp3");
        QFile file(first);
        if (!file.open(QIODevice::WriteOnly) || file.write(frames) != frames.size()) {
            return false;
        }
        file.close();
        TagLib::MPEG::File mp3(QFile::encodeName(first).constData());
        TagLib::ID3v2::Tag* tag = mp3.ID3v2Tag(true);
        tag->setArtist(TagLib::String(artist.toStdString(), TagLib::String::UTF8));
        tag->setAlbum(
            TagLib::String(QStringLiteral("Album %1").arg(a).toStdString(), TagLib::String::UTF8));
        if (a % 4 == 0) { // a quarter of the albums carry their cover in their files
            auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
            frame->setMimeType("image/jpeg");
            frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            frame->setPicture(TagLib::ByteVector(picture.constData(), unsigned(picture.size())));
            tag->addFrame(frame);
        }
        if (!mp3.save()) {
            return false;
        }
        for (int t = 2; t <= kTracks; ++t) {
            QFile::copy(first, folder + QStringLiteral("/%1.mp3").arg(t, 2, 10, QLatin1Char('0')));
        }
        if (a % 2 == 1) {
            QFile cover(folder + QStringLiteral("/cover.jpg"));
            if (!cover.open(QIODevice::WriteOnly) || cover.write(picture) != picture.size()) {
                return false;
            }
        }
    }
    return true;
}

struct ScanFigures {
    int folders = 0;
    double seconds = 0;
    double cpuSeconds = 0; // steadier than the wall clock when the disk is busy
    double firstMs = 0;
    long peakKb = 0;
};

ScanFigures scan(const QByteArray& root, int limit, const ScanOptions& options = {}) {
    ScanFigures figures;
    std::atomic<bool> stop{false};
    resetPeak();
    const long before = statusKb("VmRSS:");
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    AlbumScanner(options).scan(
        root,
        [&](const AlbumFolder&) {
            if (figures.folders++ == 0) {
                figures.firstMs = clock.nsecsElapsed() / 1e6;
            }
            if (figures.folders >= limit) {
                stop = true;
            }
        },
        stop);
    figures.seconds = clock.nsecsElapsed() / 1e9;
    figures.cpuSeconds = cpuSeconds() - cpuBefore;
    figures.peakKb = statusKb("VmHWM:") - before;
    return figures;
}

// A library of the fixture's generated artists: 4 or 5 albums each.
int generateCatalogued(const QString& root, bool barcodes) {
    int albums = 0;
    for (int artist = 0; artist < 10; ++artist) {
        const QList<FixtureDiscography::Album> listing = FixtureDiscography::benchArtist(artist);
        for (int j = 0; j < 4 + artist % 2; ++j) {
            const FixtureDiscography::Album& album = listing[j * 2]; // the plain editions
            const QString folder = QStringLiteral("%1/%2/%3").arg(root, album.artist, album.title);
            QDir().mkpath(folder);
            const QByteArray path = QFile::encodeName(folder + QStringLiteral("/01.mp3"));
            QFile file(QFile::decodeName(path));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray::fromHex("fffb9064") + QByteArray(413, '\0'));
            file.close();
            TagLib::MPEG::File mp3(path.constData());
            TagLib::PropertyMap tags;
            tags["ARTIST"] = TagLib::String(album.artist.toStdString(), TagLib::String::UTF8);
            tags["ALBUM"] = TagLib::String(album.title.toStdString(), TagLib::String::UTF8);
            if (barcodes && albums % 10 != 9) {
                tags["BARCODE"] = TagLib::String(album.barcode.toStdString());
            }
            mp3.setProperties(tags);
            mp3.save();
            ++albums;
        }
    }
    return albums;
}

// The catalogue requests of a dry run over `root`.
int fillRequests(AppContext& context, FixtureServer& server, const QString& root) {
    server.resetCounts();
    FillOptions options;
    options.root = QFile::encodeName(root);
    options.dryRun = true;
    options.intervalMs = 0;
    FillRun run(options, context.sources().primary(), context.images());
    QEventLoop loop;
    QObject::connect(&run, &FillRun::finished, &loop, &QEventLoop::quit);
    run.start();
    loop.exec();
    return server.requestCount(QStringLiteral("/search")) +
           server.requestCount(QStringLiteral("/lookup"));
}

void benchRequests() {
    FixtureServer server;
    if (!server.start()) {
        std::fprintf(stderr, "the fixture catalogue did not start\n");
        return;
    }
    AppContext context;
    context.setOrigins(ServiceOrigins::singleOrigin(server.origin()));
    std::printf("%-36s %8s %10s %22s\n", "fill of 45 albums by 10 artists", "requests", "per album",
                "10,000 albums at 3 s");
    for (const bool barcodes : {false, true}) {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("Music"));
        const int albums = generateCatalogued(root, barcodes);
        const int requests = fillRequests(context, server, root);
        const double perAlbum = double(requests) / albums;
        const double hours = perAlbum * 10000 * 3 / 3600;
        std::printf("%-36s %8d %10.2f %17.0f h %02.0f\n",
                    barcodes ? "requests per album, 9 in 10 barcodes"
                             : "requests per album, names only",
                    requests, perAlbum, std::floor(hours), (hours - std::floor(hours)) * 60);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Music"));
    QElapsedTimer clock;
    clock.start();
    if (!generate(root)) {
        std::fprintf(stderr, "the library could not be generated\n");
        return 1;
    }
    std::printf("generated %d album folders of %d tracks in %.1f s\n", kAlbums, kTracks,
                clock.elapsed() / 1000.0);
    // The generated files are written out first: a write-back during the scan
    // would make its figure vary by a third from run to run.
    ::sync();
    const QByteArray native = QFile::encodeName(root);
    scan(native, kAlbums); // warms the file system's caches
    const ScanFigures quarter = scan(native, kAlbums / 4);
    const ScanFigures whole = scan(native, kAlbums);
    std::printf("%-28s %10s %14s %16s %14s\n", "scan", "folders/s", "first album ms",
                "peak growth KB", "CPU µs/folder");
    for (const auto& [name, f] :
         {std::pair{"first 500 folders", quarter}, {"2000 folders", whole}}) {
        std::printf("%-28s %10.0f %14.2f %16ld %14.0f\n", name, f.folders / f.seconds, f.firstMs,
                    f.peakKb, f.cpuSeconds * 1e6 / f.folders);
    }
    // An upgrade's scan reads the cover files' headers and the pictures'
    // sizes; an embedding dry run reads every album's tags already.
    ScanOptions embedding;
    embedding.readCoveredTags = true;
    ScanOptions upgrading = embedding;
    upgrading.upgradeBelow = 500;
    QList<double> embed;
    QList<double> upgrade;
    for (int round = 0; round < 5; ++round) { // interleaved: the machine's drift hits both
        embed.append(scan(native, kAlbums, embedding).cpuSeconds);
        upgrade.append(scan(native, kAlbums, upgrading).cpuSeconds);
    }
    std::sort(embed.begin(), embed.end());
    std::sort(upgrade.begin(), upgrade.end());
    std::printf("%-28s %10.0f %14s\n%-28s %10.0f %14.2f\n", "embed dry-run scan, CPU µs/folder",
                embed[2] * 1e6 / kAlbums, "ratio", "upgrade scan, CPU µs/folder",
                upgrade[2] * 1e6 / kAlbums, upgrade[2] / embed[2]);
    benchRequests();
    if (whole.folders != kAlbums) {
        std::fprintf(stderr, "found %d album folders, not %d\n", whole.folders, kAlbums);
        return 1;
    }
    return 0;
}
