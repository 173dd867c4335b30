#pragma once

#include "catalogue/CatalogueItem.h"
#include "cli/Arguments.h"
#include "library/FillOptions.h"

#include <QList>

#include <memory>

class AppContext;

// A command of sleevanta-cli: run to its end, it answers with the exit status.
// Each reaches the services through the application context it is made with.
class Command {
public:
    explicit Command(AppContext& context) : m_context(context) {}
    virtual ~Command() = default;
    virtual int run(const Arguments& args) = 0;

    // The command `args.command` names, made for `context`; none for another name.
    static std::unique_ptr<Command> named(const QString& name, AppContext& context);

protected:
    AppContext& m_context;
};

// Searches the catalogue and prints the items, as text or JSON.
class SearchCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;

    // Searches as `args` say; prints why on standard error when the search did
    // not complete.
    struct Result {
        int status = ExitOk;
        QList<CatalogueItem> records;
    };
    static Result searchRecords(AppContext& context, const Arguments& args);
};

// Searches, then downloads and saves one item's cover.
class SaveCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;
};

// Fills the missing covers of a music library.
class FillCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;

    // What the command line says of covers and where they go.
    static FillOptions optionsOf(const Arguments& args);
};

// Embeds a picture into audio files.
class EmbedCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;
};

// Gives one album the cover of a catalogue item a person chose.
class ChooseCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;
};

// Puts back the covers that fills and choices replaced, or lets them go.
class RestoreCommand : public Command {
public:
    using Command::Command;
    int run(const Arguments& args) override;
};
