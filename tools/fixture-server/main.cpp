// The fixture catalogue, by hand: serves search answers and artwork on
// 127.0.0.1 so Sleevanta can run without the network.
//   sleevanta-fixture-server [--port 8642] [--fault NAME] [--fault-on search|artwork|all]
//                            [--delay MS] [--status CODE]
//   SLEEVANTA_SERVICE_ORIGIN=http://127.0.0.1:8642 sleevanta
#include "FixtureServer.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The server draws its artwork off screen; it needs no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sleevanta's fixture catalogue server"));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port"),
                                        QStringLiteral("port"), QStringLiteral("8642"));
    const QCommandLineOption faultOption(
        QStringLiteral("fault"),
        QStringLiteral("fault for every answer: delay, drip, truncate, status, garbage, "
                       "no-length, reset, huge-json, huge-image, huge-body"),
        QStringLiteral("name"));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("delay in ms for --fault delay"),
                                         QStringLiteral("ms"), QStringLiteral("3000"));
    const QCommandLineOption statusOption(QStringLiteral("status"),
                                          QStringLiteral("HTTP status for --fault status"),
                                          QStringLiteral("code"), QStringLiteral("403"));
    const QCommandLineOption scopeOption(
        QStringLiteral("fault-on"),
        QStringLiteral("where the fault applies: search, artwork or all"), QStringLiteral("scope"),
        QStringLiteral("all"));
    parser.addOptions({portOption, faultOption, delayOption, statusOption, scopeOption});
    parser.process(app);

    FixtureServer server;
    if (!server.start(quint16(parser.value(portOption).toUInt()))) {
        std::fprintf(stderr, "cannot listen on port %s\n", qPrintable(parser.value(portOption)));
        return 1;
    }
    if (parser.isSet(faultOption)) {
        using Fault = FixtureServer::Fault;
        const QString name = parser.value(faultOption);
        FixtureServer::FaultConfig config;
        config.delayMs = parser.value(delayOption).toInt();
        config.statusCode = parser.value(statusOption).toInt();
        const std::pair<const char*, Fault> names[] = {
            {"delay", Fault::Delay},
            {"drip", Fault::SlowDrip},
            {"truncate", Fault::Truncate},
            {"status", Fault::Status},
            {"garbage", Fault::Garbage},
            {"no-length", Fault::NoContentLength},
            {"reset", Fault::Reset},
            {"huge-json", Fault::HugeJson},
            {"pixel-bomb", Fault::PixelBomb},
            {"huge-body", Fault::HugeBody},
            {"trailing-bytes", Fault::TrailingBytes},
            {"cut-jpeg", Fault::CutJpeg},
            {"redirect", Fault::Redirect},
            {"foreign-artwork", Fault::ForeignArtwork},
            {"control-names", Fault::ControlNames},
        };
        for (const auto& [text, fault] : names) {
            if (name == QLatin1String(text)) {
                config.fault = fault;
            }
        }
        if (config.fault == Fault::None) {
            std::fprintf(stderr, "unknown fault %s\n", qPrintable(name));
            return 64;
        }
        const QString scope = parser.value(scopeOption);
        server.setFault(scope == QLatin1String("search")    ? FixtureServer::Scope::Search
                        : scope == QLatin1String("artwork") ? FixtureServer::Scope::Artwork
                                                            : FixtureServer::Scope::All,
                        config);
    }
    std::printf("Fixture catalogue at %s\n", qPrintable(server.origin()));
    std::fflush(stdout);
    return QGuiApplication::exec();
}
