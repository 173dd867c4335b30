// The cover pane's actions: what saving, viewing and copying the shown cover do.
#include "ui/cover/CoverPane.h"

#include "library/AppContext.h"
#include "platform/Clipboard.h"
#include "platform/DesktopServices.h"
#include "platform/UserPaths.h"
#include "settings/Settings.h"
#include "ui/cover/AlbumBanner.h"
#include "ui/cover/AlbumTarget.h"
#include "ui/cover/CoverActions.h"
#include "ui/cover/CoverClipboard.h"
#include "ui/cover/SaveDialog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

// Each cover action does what its handler says, wherever it is chosen.
void CoverPane::connectActions() {
    const std::pair<CoverAction, void (CoverPane::*)()> handlers[] = {
        {CoverAction::SaveCoverAs, &CoverPane::saveCover},
        {CoverAction::SaveCoverToDownloads, &CoverPane::saveCoverToDownloads},
        {CoverAction::ViewCoverInBrowser, &CoverPane::viewCoverInBrowser},
        {CoverAction::ViewCoverListing, &CoverPane::viewCoverListing},
        {CoverAction::CopyCoverImageToClipboard, &CoverPane::copyCoverImage},
        {CoverAction::CopyCoverUrlToClipboard, &CoverPane::copyCoverUrl},
        {CoverAction::CopyCoverTitleToClipboard, &CoverPane::copyCoverTitle},
        {CoverAction::SaveIntoAlbumFolder, &CoverPane::saveIntoAlbumFolder},
        {CoverAction::EmbedIntoFiles, &CoverPane::embedIntoFiles},
    };
    for (const auto& [which, handler] : handlers) {
        connect(m_actions->action(which), &QAction::triggered, this, handler);
    }
}

void CoverPane::openLink(const QUrl& link, const QUrl& fallback) {
    // Only web links: an answer's "listing" could name a file or a program.
    for (const QUrl& url : {link, fallback}) {
        const bool web =
            url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http");
        if (web && !url.host().isEmpty() && m_context.desktop().openUrl(url)) {
            return;
        }
    }
    showStatus(linkNotOpened());
}

// Every action needs a shown cover; without one it says so.
bool CoverPane::hasCover() {
    if (m_session->state() != CoverSession::State::Shown) {
        alert(noCover());
        return false;
    }
    return true;
}

void CoverPane::viewCoverInBrowser() {
    if (hasCover()) {
        openLink(m_session->artworkUrl(), {});
    }
}

void CoverPane::viewCoverListing() {
    // Store links (musics:, itms-apps:) have no handler on most desktops: the
    // web listing stands in for them.
    if (hasCover()) {
        openLink(m_session->item().listingUrl, m_session->item().webBrowserUrl);
    }
}

void CoverPane::copyCoverImage() {
    if (!hasCover()) {
        return;
    }
    if (m_session->temporaryFile().isEmpty()) {
        alert(noCover());
        return;
    }
    CoverClipboard::copyImageFile(m_context.clipboard(), m_session->temporaryFile(), this,
                                  [this] { showStatus(copiedImage()); });
}

void CoverPane::copyCoverUrl() {
    if (hasCover()) {
        m_context.clipboard().writeText(m_session->artworkUrl().toString(QUrl::FullyEncoded));
        showStatus(copiedUrl());
    }
}

void CoverPane::copyCoverTitle() {
    // The title itself, also while a status message stands in its place.
    if (hasCover()) {
        m_context.clipboard().writeText(m_title);
        showStatus(copiedTitle());
    }
}

void CoverPane::saveIntoAlbumFolder() {
    if (hasCover()) {
        m_banner->showOutcome({});
        m_albumTarget->saveCover(m_session->cover().encodedData);
    }
}

void CoverPane::embedIntoFiles() {
    if (hasCover()) {
        m_banner->showOutcome({});
        m_albumTarget->embedCover(m_session->cover().encodedData);
    }
}

// Saving ---------------------------------------------------------------------

void CoverPane::saveCover() {
    QWidget* window = this->window();
    if (!hasCover() || !window || !window->isVisible()) {
        Q_EMIT saveFinished({});
        return;
    }
    QPointer<CoverPane> self(this);
    SaveDialog::ask(
        window, m_session->suggestedFileName(),
        m_context.settings().value(Settings::lastSaveFolder), [self](std::optional<QString> path) {
            if (!self) {
                return;
            }
            if (!path || path->isEmpty()) {
                Q_EMIT self->saveFinished({});
                return;
            }
            // The dialog opens where the user went last.
            self->m_context.settings().setValue(
                Settings::lastSaveFolder, QUrl::fromLocalFile(QFileInfo(*path).absolutePath()));
            self->m_session->saveAs(*path);
        });
}

void CoverPane::saveCoverToDownloads() {
    QWidget* window = this->window();
    if (!hasCover() || !window || !window->isVisible()) {
        Q_EMIT saveFinished({});
        return;
    }
    const QString folder = UserPaths::downloadsDirectory();
    QDir().mkpath(folder);
    m_session->saveInto(folder);
}

void CoverPane::showSaved(const CoverSession::SaveResult& result) {
    if (result.ok()) {
        showStatus(result.message());
    } else {
        alert(result.message());
    }
    Q_EMIT saveFinished(result.path);
}
