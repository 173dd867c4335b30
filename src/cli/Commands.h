#pragma once

#include "catalogue/CatalogueItem.h"
#include "cli/Arguments.h"

#include <QList>

// The commands of sleevanta-cli, each run to its end; the exit status.
namespace Commands {

int search(const Arguments& args);
int save(const Arguments& args);
int fill(const Arguments& args);
int embed(const Arguments& args);

// Searches as `args` say; prints why on standard error when the search did not
// complete.
struct SearchResult {
    int status = ExitOk;
    QList<CatalogueItem> records;
};
SearchResult searchRecords(const Arguments& args);

} // namespace Commands
