#pragma once

// What the imaging tests share: the fixture catalogue, and a cache and image
// service of their own that can be started afresh as a new process would.
#include "TestSupport.h"
#include "imaging/ImageService.h"

struct ImagingRig {
    FixtureServer server;
    std::unique_ptr<ImageCache> cache;
    std::unique_ptr<ImageService> service;

    QString cacheFolder() const {
        return TestSupport::homeFolder().path() + QStringLiteral("/own-cache");
    }
    QUrl art(const QString& name, int side = 200) const {
        return QUrl(server.origin() +
                    QStringLiteral("/image/thumb/Music/%1/%2x%2bb.jpg").arg(name).arg(side));
    }
    // A new process: nothing in memory, the same folder on disk.
    void restart() {
        service.reset();
        cache.reset();
        cache = std::make_unique<ImageCache>(cacheFolder());
        service = std::make_unique<ImageService>(*cache, TestSupport::context().network(),
                                                 TestSupport::context().sources());
    }
    void slowArtwork(FixtureServer::Fault kind, int delayMs) {
        FixtureServer::FaultConfig config = TestSupport::fault(kind);
        config.delayMs = delayMs;
        config.dripChunk = 512;
        config.dripIntervalMs = 20;
        server.setFault(FixtureServer::Scope::Artwork, config);
    }
    // Before each test function.
    void reset() {
        TestSupport::resetHome();
        TestSupport::useServer(server);
        restart();
    }
    void close() {
        service.reset();
        cache.reset();
    }
};
