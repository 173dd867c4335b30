#include "cli/Commands.h"
#include "cli/Output.h"
#include "library/AppContext.h"
#include "sources/SearchMessages.h"

#include <QCoreApplication>

SearchCommand::Result SearchCommand::searchRecords(AppContext& context, const Arguments& args) {
    SourceClient* client = context.sources().primary().newClient(nullptr);
    Result result;
    bool done = false;
    SourceRequest request;
    request.term = args.term;
    request.mediaTitle = args.media;
    request.storefront = args.country;
    client->run(request, [&](const SearchOutcome& outcome) {
        done = true;
        result.status = Output::exitStatusFor(outcome.kind);
        result.records = outcome.records;
        if (outcome.kind != SearchResultKind::Completed) {
            const QString text = SearchMessages::failureText(outcome.kind);
            //: A search's failure, and the transport's own words for it.
            Output::error(outcome.detail.isEmpty() ? text
                                                   : Cli::tr("%1 (%2)").arg(text, outcome.detail));
        }
        QCoreApplication::exit(result.status);
    });
    if (!done) {
        QCoreApplication::exec();
    }
    delete client;
    return result;
}

int SearchCommand::run(const Arguments& args) {
    const Result result = searchRecords(m_context, args);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (result.records.isEmpty()) {
        Output::error(Cli::tr("No items found."));
        return ExitOk;
    }
    QTextStream out(stdout);
    for (qsizetype i = 0; i < result.records.size(); ++i) {
        if (args.json) {
            Output::jsonLine(out, result.records[i].toJson());
        } else {
            Output::record(out, i, result.records[i]);
        }
    }
    return ExitOk;
}

std::unique_ptr<Command> Command::named(const QString& name, AppContext& context) {
    if (name == QLatin1String("search")) {
        return std::make_unique<SearchCommand>(context);
    }
    if (name == QLatin1String("save")) {
        return std::make_unique<SaveCommand>(context);
    }
    if (name == QLatin1String("fill")) {
        return std::make_unique<FillCommand>(context);
    }
    if (name == QLatin1String("embed")) {
        return std::make_unique<EmbedCommand>(context);
    }
    if (name == QLatin1String("choose")) {
        return std::make_unique<ChooseCommand>(context);
    }
    if (name == QLatin1String("restore")) {
        return std::make_unique<RestoreCommand>(context);
    }
    return nullptr;
}
