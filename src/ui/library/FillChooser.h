#pragma once

#include "library/AlbumScanner.h"
#include "library/FillOptions.h"
#include "library/FillReport.h"

#include <QObject>

class AppContext;
class FillSaver;

// What a person does to a library beyond a fill, off the GUI thread: the
// cover of a candidate they chose saved into its album (what it replaces
// kept aside), and the replaced covers put back.
class FillChooser : public QObject {
    Q_OBJECT
public:
    explicit FillChooser(AppContext& context, QObject* parent = nullptr);

    // Saves `item`'s cover for `album`, whose report so far is `report`.
    void choose(const FillOptions& options, const AlbumFolder& album, AlbumReport report,
                const CatalogueItem& item);
    // Puts back what was replaced in the album folders at and below `root`.
    void restore(const QByteArray& root);

Q_SIGNALS:
    void chosen(const AlbumReport& report);
    // How many covers were put back, and how many were left (changed since,
    // or their folder moved).
    void restored(int back, int left);

private:
    AppContext& m_context;
    FillSaver* m_saver = nullptr;
    FillOptions m_options; // the saver's
};
