#include "ui/cover/CoverActions.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>

namespace {

struct CoverActionRow {
    CoverAction action;
    const char* objectName;
    const char* title; // with its mnemonic
    const char* shortcut;
    const char* icon; // a freedesktop icon name
};

// The one table of cover actions.
const CoverActionRow kRows[kCoverActionCount] = {
    {CoverAction::SaveCoverAs, "saveCoverAs", QT_TRANSLATE_NOOP("CoverActions", "Save Cover &As…"),
     "Ctrl+S", "document-save-as"},
    {CoverAction::SaveCoverToDownloads, "saveCoverToDownloads",
     QT_TRANSLATE_NOOP("CoverActions", "Save Cover to “&Downloads”"), "Ctrl+Shift+S",
     "document-save"},
    {CoverAction::ViewCoverInBrowser, "viewCoverInBrowser",
     QT_TRANSLATE_NOOP("CoverActions", "View Cover in &Browser"), "", "internet-web-browser"},
    {CoverAction::ViewCoverListing, "viewCoverListingInItunes",
     QT_TRANSLATE_NOOP("CoverActions", "View Cover &Listing in iTunes"), "", ""},
    {CoverAction::CopyCoverImageToClipboard, "copyCoverImageToClipboard",
     QT_TRANSLATE_NOOP("CoverActions", "Copy Cover &Image to Clipboard"), "Ctrl+C", "edit-copy"},
    {CoverAction::CopyCoverUrlToClipboard, "copyCoverUrlToClipboard",
     QT_TRANSLATE_NOOP("CoverActions", "Copy Cover &URL to Clipboard"), "Ctrl+Shift+C", ""},
    {CoverAction::CopyCoverTitleToClipboard, "copyCoverTitleToClipboard",
     QT_TRANSLATE_NOOP("CoverActions", "Copy Cover &Title to Clipboard"), "Ctrl+Alt+C", ""},
    {CoverAction::SaveIntoAlbumFolder, "saveIntoAlbumFolder",
     QT_TRANSLATE_NOOP("CoverActions", "Sa&ve into Album Folder"), "", "folder"},
    {CoverAction::EmbedIntoFiles, "embedIntoFiles",
     QT_TRANSLATE_NOOP("CoverActions", "&Embed into Files"), "", ""},
};

} // namespace

CoverActions::CoverActions(QObject* parent) : QObject(parent) {
    for (const CoverActionRow& row : kRows) {
        auto* action = new QAction(tr(row.title), this);
        action->setObjectName(QLatin1String(row.objectName));
        action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
        if (*row.icon) {
            action->setIcon(QIcon::fromTheme(QLatin1String(row.icon)));
        }
        action->setEnabled(false);
        m_actions[size_t(row.action)] = action;
    }
}

QList<QAction*> CoverActions::saveActions() const {
    return {action(CoverAction::SaveCoverAs), action(CoverAction::SaveCoverToDownloads),
            action(CoverAction::SaveIntoAlbumFolder), action(CoverAction::EmbedIntoFiles)};
}

QList<QAction*> CoverActions::viewActions() const {
    return {action(CoverAction::ViewCoverInBrowser), action(CoverAction::ViewCoverListing)};
}

QList<QAction*> CoverActions::copyActions() const {
    return {action(CoverAction::CopyCoverImageToClipboard),
            action(CoverAction::CopyCoverUrlToClipboard),
            action(CoverAction::CopyCoverTitleToClipboard)};
}

void CoverActions::update(bool shown, bool hasFile, const QString& listingTitle,
                          const QString& albumFolder) {
    for (QAction* action : m_actions) {
        action->setEnabled(shown);
    }
    // Only for a cover searched for an album of the library, which they name.
    for (const CoverAction albumAction :
         {CoverAction::SaveIntoAlbumFolder, CoverAction::EmbedIntoFiles}) {
        action(albumAction)->setVisible(!albumFolder.isEmpty());
        action(albumAction)->setEnabled(shown && !albumFolder.isEmpty());
        action(albumAction)->setToolTip(albumFolder);
    }
    action(CoverAction::CopyCoverImageToClipboard)->setEnabled(shown && hasFile);
    QAction* listing = action(CoverAction::ViewCoverListing);
    if (!shown) {
        listing->setText(tr(kRows[size_t(CoverAction::ViewCoverListing)].title));
        listing->setVisible(true);
        return;
    }
    listing->setText(listingTitle);
    listing->setVisible(!listingTitle.isEmpty());
}

void CoverActions::fillContextMenu(QMenu* menu, QMenu* share) const {
    menu->addActions(saveActions());
    menu->addSeparator();
    menu->addActions(viewActions());
    menu->addSeparator();
    menu->addActions(copyActions());
    menu->addSeparator();
    menu->addMenu(share);
}
