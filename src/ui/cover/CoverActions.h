#pragma once

#include <QObject>

#include <array>

class QAction;
class QMenu;

// The cover actions, in the order of the table that describes them; the last
// two act on a library album the cover was searched for.
enum class CoverAction {
    SaveCoverAs,
    SaveCoverToDownloads,
    ViewCoverInBrowser,
    ViewCoverListing,
    CopyCoverImageToClipboard,
    CopyCoverUrlToClipboard,
    CopyCoverTitleToClipboard,
    SaveIntoAlbumFolder,
    EmbedIntoFiles,
};
inline constexpr int kCoverActionCount = 9;

// The cover actions, one QAction each: the one place for their titles,
// shortcuts, icons and enabled state. The menu bar, the cover pane's buttons
// and the cover's context menu all show these very actions, so they agree by
// construction. The cover pane connects each to what it does.
class CoverActions : public QObject {
    Q_OBJECT
public:
    explicit CoverActions(QObject* parent = nullptr);

    QAction* action(CoverAction which) const { return m_actions[size_t(which)]; }
    // In menu order: the saves (into the album too, when there is one), the
    // two views, the three copies.
    QList<QAction*> saveActions() const;
    QList<QAction*> viewActions() const;
    QList<QAction*> copyActions() const;

    // Enables the actions for what the pane shows: all of them need a shown
    // cover, copying the image its file too; the listing item is named for
    // the item's kind, and hidden when it has none; the album's actions show
    // only when the cover was searched for an album of the library.
    void update(bool shown, bool hasFile, const QString& listingTitle, const QString& albumFolder);

    // The context menu of the cover: the three groups, then `share`.
    void fillContextMenu(QMenu* menu, QMenu* share) const;

private:
    std::array<QAction*, kCoverActionCount> m_actions{};
};
