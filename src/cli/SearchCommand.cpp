#include "catalogue/CatalogueSearch.h"
#include "catalogue/SearchMessages.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "library/AppContext.h"

#include <QCoreApplication>

namespace Commands {

SearchResult searchRecords(AppContext& context, const Arguments& args) {
    CatalogueSearch search(context.network(), context.origins());
    SearchResult result;
    bool done = false;
    search.start(args.term, args.media, args.country, [&](const SearchOutcome& outcome) {
        done = true;
        result.status = commandLineStatus(outcome.kind);
        result.records = outcome.records;
        if (outcome.kind != SearchResultKind::Completed) {
            const QString text = SearchMessages::failureText(outcome.kind);
            Output::error(outcome.detail.isEmpty()
                              ? text
                              : text + QStringLiteral(" (%1)").arg(outcome.detail));
        }
        QCoreApplication::exit(result.status);
    });
    if (!done) {
        QCoreApplication::exec();
    }
    return result;
}

int search(AppContext& context, const Arguments& args) {
    const SearchResult result = searchRecords(context, args);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (result.records.isEmpty()) {
        Output::error(QStringLiteral("No items found."));
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

} // namespace Commands
