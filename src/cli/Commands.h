#pragma once

#include "catalogue/CatalogueItem.h"
#include "cli/Arguments.h"

#include <QList>

class AppContext;

// The commands of sleevanta-cli, each run to its end; the exit status.
namespace Commands {

int search(AppContext& context, const Arguments& args);
int save(AppContext& context, const Arguments& args);
int fill(AppContext& context, const Arguments& args);
int embed(AppContext& context, const Arguments& args);

// Searches as `args` say; prints why on standard error when the search did not
// complete.
struct SearchResult {
    int status = ExitOk;
    QList<CatalogueItem> records;
};
SearchResult searchRecords(AppContext& context, const Arguments& args);

} // namespace Commands
