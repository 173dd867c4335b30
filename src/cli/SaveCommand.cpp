#include "cli/Commands.h"
#include "cli/Output.h"
#include "imaging/CoverSession.h"
#include "imaging/ImageCache.h"
#include "imaging/ImageService.h"
#include "library/AppContext.h"
#include "platform/UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

int notSaved(const QString& reason) {
    Output::error(Cli::tr("sleevanta-cli: the cover was not saved: %1").arg(reason));
    return ExitNotSaved;
}

// Runs the event loop until `session` has its cover, or has given up on it.
void waitForCover(CoverSession& session) {
    if (session.state() != CoverSession::State::Loading) {
        return;
    }
    QObject::connect(&session, &CoverSession::stateChanged, [](CoverSession::State state) {
        if (state != CoverSession::State::Loading) {
            QCoreApplication::exit(0);
        }
    });
    QCoreApplication::exec();
}

} // namespace

int SaveCommand::run(const Arguments& args) {
    AppContext& context = m_context;
    const SearchCommand::Result result = SearchCommand::searchRecords(context, args);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (args.index >= result.records.size()) {
        Output::error(Cli::tr("No item %1: the search found %Ln item(s).", nullptr,
                              int(result.records.size()))
                          .arg(args.index));
        return ExitNotSaved;
    }
    const auto item = CoverItem::of(result.records.at(args.index));
    if (!item) {
        return notSaved(Cli::tr("the item has no cover"));
    }
    CoverSession session(context.images(), context.sources().primary(), context.settings());
    session.setHeadless(true);
    // Decoded small: only to know the bytes are a picture; they are what is saved.
    session.select(*item, args.highQuality, QSize(256, 256));
    waitForCover(session);
    // The downloaded cover goes into the disk cache before the tool ends.
    context.cache().waitForDiskWork();
    if (session.state() != CoverSession::State::Shown) {
        return notSaved(
            Cli::tr("the cover could not be downloaded (%1)").arg(session.failureReason()));
    }
    const QString folder = args.folder.isEmpty() ? UserPaths::downloadsDirectory() : args.folder;
    CoverSession::SaveResult saved;
    QObject::connect(&session, &CoverSession::saved, [&saved](const CoverSession::SaveResult& r) {
        saved = r;
        QCoreApplication::exit(0);
    });
    session.saveInto(folder);
    QCoreApplication::exec();
    if (!saved.ok()) {
        return notSaved(saved.message());
    }
    QTextStream(stdout) << Output::terminal(QFileInfo(saved.path).absoluteFilePath()) << '\n'
                        << session.facts().line() << '\n';
    return ExitOk;
}
