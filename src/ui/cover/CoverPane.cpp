#include "ui/cover/CoverPane.h"
#include "ui_CoverView.h"

#include "imaging/ImageService.h"
#include "library/AppContext.h"
#include "settings/Settings.h"
#include "ui/common/AccessibleWidgets.h"
#include "ui/common/Alerts.h"
#include "ui/common/ShareMenu.h"
#include "ui/cover/AlbumBanner.h"
#include "ui/cover/AlbumTarget.h"
#include "ui/cover/CoverActions.h"
#include "ui/cover/DraggableImageView.h"

#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QShowEvent>

CoverPane::CoverPane(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_ui(std::make_unique<Ui::CoverView>()),
      m_session(new CoverSession(context.images(), context.sources().primary(), context.settings(),
                                 this)),
      m_actions(new CoverActions(this)), m_albumTarget(new AlbumTarget(this)) {
    m_ui->setupUi(this);
    setUpLayout();
    setUpButtons();
    connectSession();
    connectActions();
    // Never narrower than its buttons at their natural widths.
    setMinimumWidth(m_ui->buttonLayout->sizeHint().width() + layout()->contentsMargins().left() +
                    layout()->contentsMargins().right());
    showState(CoverSession::State::Idle);
}

void CoverPane::setUpLayout() {
    // The progress keeps its place while hidden: the cover's room stays the
    // same from loading to shown, so the cover is decoded once for it.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_ui->progressIndicator, m_ui->progressTextField}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    // Likewise the lines whose text comes and goes.
    const int line = fontMetrics().lineSpacing();
    m_ui->progressTextField->setFixedHeight(2 * line);
    m_ui->coverFactsLabel->setFixedHeight(line);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(kStatusMilliseconds);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] {
        // Back to the pane's own title, whatever status messages came between.
        m_ui->titleLabel->setText(m_title);
        AccessibleWidgets::announce(m_ui->titleLabel, QString());
        m_ui->titleLabel->setTextInteractionFlags(m_session->state() == CoverSession::State::Shown
                                                      ? Qt::TextSelectableByMouse |
                                                            Qt::TextSelectableByKeyboard
                                                      : Qt::NoTextInteraction);
    });
}

void CoverPane::setUpButtons() {
    m_ui->viewButton->setText(tr("View Cover"));
    m_ui->copyButton->setText(tr("Copy Cover"));
    m_ui->shareButton->setText(tr("Share Cover"));
    m_ui->saveCoverButton->setText(tr("Save Cover As…"));
    // Push buttons with menus: their arrow sits beside the title, never on it.
    for (QPushButton* button : {m_ui->viewButton, m_ui->copyButton, m_ui->shareButton}) {
        button->setMenu(new QMenu(button));
    }
    m_ui->viewButton->menu()->addActions(m_actions->viewActions());
    m_ui->copyButton->menu()->addActions(m_actions->copyActions());
    connect(m_ui->shareButton->menu(), &QMenu::aboutToShow, this, [this] {
        m_ui->shareButton->menu()->clear();
        ShareMenu::addServices(m_ui->shareButton->menu(), m_session, m_context.sharing(),
                               statusSaying());
    });
    connect(m_ui->saveCoverButton, &QPushButton::clicked,
            m_actions->action(CoverAction::SaveCoverAs), &QAction::trigger);
    connect(m_ui->tryAgainButton, &QPushButton::clicked, this, [this] {
        m_session->retry(m_ui->coverImageView->decodeBox());
        Q_EMIT retryRequested();
    });
    connect(m_ui->cancelButton, &QPushButton::clicked, m_session, &CoverSession::cancelDownload);
    connect(m_ui->coverImageView, &DraggableImageView::contextMenuWanted, this,
            [this](const QPoint& where) {
                if (QMenu* menu = buildContextMenu()) {
                    QTimer::singleShot(0, menu, [menu, where] { menu->popup(where); });
                }
            });
}

void CoverPane::connectSession() {
    connect(m_session, &CoverSession::stateChanged, this, [this](CoverSession::State state) {
        showState(state);
        // The menus hear of a shown cover once its file exists (showFile).
        if (state != CoverSession::State::Shown) {
            Q_EMIT shareableChanged(false);
        }
    });
    connect(m_session, &CoverSession::progressChanged, this, &CoverPane::showProgress);
    connect(m_session, &CoverSession::previewReady, this, [this](const QImage& preview) {
        m_ui->coverImageView->setPreview(preview);
        //: A noun: a small picture shown while the cover itself is downloaded.
        m_ui->coverFactsLabel->setText(tr("Preview"));
        m_ui->coverImageView->setAccessibleName(tr("Preview"));
    });
    connect(m_session, &CoverSession::coverShown, this,
            [this](const CoverImage& cover) { m_ui->coverImageView->setImage(cover); });
    connect(m_session, &CoverSession::fileChanged, this, &CoverPane::showFile);
    connect(m_session, &CoverSession::saved, this, &CoverPane::showSaved);
    connect(m_albumTarget, &AlbumTarget::changed, this, &CoverPane::refreshActions);
    // What was done for the album stays in its banner until the next doing.
    m_banner = new AlbumBanner(m_actions->action(CoverAction::SaveIntoAlbumFolder),
                               m_actions->action(CoverAction::EmbedIntoFiles), this);
    m_ui->verticalLayout->insertWidget(0, m_banner);
    connect(m_banner, &AlbumBanner::leaveRequested, this, &CoverPane::albumSearchLeft);
    connect(m_albumTarget, &AlbumTarget::succeeded, this,
            [this](const QString& status, const QString& path) {
                m_banner->showOutcome(status);
                if (!path.isEmpty()) {
                    Q_EMIT saveFinished(path);
                }
            });
    connect(m_albumTarget, &AlbumTarget::failed, this, [this](const QString& text) {
        alert(text);
        Q_EMIT saveFinished({});
    });
    connect(m_albumTarget, &AlbumTarget::coverSaved, this, &CoverPane::albumCoverSaved);
}

CoverPane::~CoverPane() = default;

DraggableImageView* CoverPane::coverImageView() const {
    return m_ui->coverImageView;
}
QProgressBar* CoverPane::progressIndicator() const {
    return m_ui->progressIndicator;
}
QLabel* CoverPane::progressTextField() const {
    return m_ui->progressTextField;
}
QLabel* CoverPane::titleLabel() const {
    return m_ui->titleLabel;
}
QLabel* CoverPane::coverFactsLabel() const {
    return m_ui->coverFactsLabel;
}
QLabel* CoverPane::failureLabel() const {
    return m_ui->failureLabel;
}
QPushButton* CoverPane::tryAgainButton() const {
    return m_ui->tryAgainButton;
}
QPushButton* CoverPane::cancelButton() const {
    return m_ui->cancelButton;
}
QPushButton* CoverPane::viewButton() const {
    return m_ui->viewButton;
}
QPushButton* CoverPane::copyButton() const {
    return m_ui->copyButton;
}
QPushButton* CoverPane::shareButton() const {
    return m_ui->shareButton;
}
QPushButton* CoverPane::saveCoverButton() const {
    return m_ui->saveCoverButton;
}

void CoverPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        showState(m_session->state());
    }
}

void CoverPane::alert(const QString& text) {
    Alerts::showSheet(Alerts::alert(text, true), this);
}

// Selection ------------------------------------------------------------------

void CoverPane::showItem(const CoverItem& item) {
    m_session->select(item, m_context.settings().value(Settings::highQuality),
                      m_ui->coverImageView->decodeBox());
}

void CoverPane::setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName) {
    m_albumTarget->setAlbum(album, coverName);
    m_banner->showAlbum(album);
}

void CoverPane::removeCover() {
    m_session->deselect();
}

// Interface --------------------------------------------------------------------

void CoverPane::showState(CoverSession::State state) {
    using State = CoverSession::State;
    DraggableImageView* view = m_ui->coverImageView;
    const bool shown = state == State::Shown;
    // A failed cover keeps its preview beneath the failure, which says why.
    const bool withPreview =
        (state == State::Loading || state == State::Failed) && !m_session->preview().isNull();
    if (withPreview) {
        view->setPreview(m_session->preview());
    } else if (state != State::Shown) {
        view->clearImage();
    }
    view->setPlaceholderText(state == State::Idle ? tr("Select a result to see its cover")
                                                  : QString());
    view->setCoverFile({});
    m_ui->coverFactsLabel->setText(shown ? m_session->facts().display() : QString());
    m_title = m_session->item().title();
    if (!m_statusTimer.isActive()) {
        m_ui->titleLabel->setText(m_title);
        m_ui->titleLabel->setTextInteractionFlags(shown ? Qt::TextSelectableByMouse |
                                                              Qt::TextSelectableByKeyboard
                                                        : Qt::NoTextInteraction);
    }
    view->setAccessibleName(coverName(state, withPreview));
    m_ui->failureLabel->setVisible(state == State::Failed);
    m_ui->tryAgainButton->setVisible(state == State::Failed);
    if (state == State::Failed) {
        m_ui->failureLabel->setText(
            tr("Couldn't download the cover (%1).").arg(m_session->failureReason()));
    }
    m_ui->progressIndicator->setRange(0, 100);
    m_ui->progressIndicator->setValue(0);
    m_ui->progressIndicator->hide();
    m_ui->progressTextField->hide();
    m_ui->progressTextField->clear();
    m_ui->cancelButton->hide();
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_ui->viewButton, m_ui->copyButton, m_ui->shareButton, m_ui->saveCoverButton}) {
        control->setEnabled(shown);
    }
    refreshActions();
}

// What the cover view shows, for a screen reader.
QString CoverPane::coverName(CoverSession::State state, bool withPreview) const {
    using State = CoverSession::State;
    switch (state) {
    case State::Idle:
        return tr("Select a result to see its cover");
    case State::Shown: {
        const QSize size = m_session->facts().size;
        //: A picture's size in pixels: "600 × 600".
        const QString pixels = tr("%1 × %2").arg(size.width()).arg(size.height());
        //: The name of the shown cover for screen readers: its item's title and its size.
        return tr("Cover of %1, %2").arg(m_title, pixels);
    }
    case State::Loading:
        //: The cover view while the cover is requested and no preview is there.
        return withPreview ? tr("Preview") : tr("Loading");
    case State::Failed:
        return withPreview ? tr("Preview") : tr("No cover");
    }
    return {};
}

void CoverPane::showProgress(qint64 received, qint64 expected) {
    QProgressBar* bar = m_ui->progressIndicator;
    bar->show();
    m_ui->progressTextField->show();
    m_ui->cancelButton->show();
    m_ui->progressTextField->setText(CoverSession::progressText(received, expected));
    if (expected > 0) {
        bar->setRange(0, 100);
        bar->setValue(qBound(0, qRound(double(received) / double(expected) * 100.0), 100));
    } else {
        bar->setRange(0, 0); // moves on its own until the size is known
    }
}

void CoverPane::showFile(const QUrl& file) {
    m_ui->coverImageView->setCoverFile(file);
    refreshActions();
    if (!file.isEmpty()) {
        Q_EMIT shareableChanged(true);
    }
}

void CoverPane::refreshActions() {
    m_actions->update(m_session->state() == CoverSession::State::Shown,
                      !m_session->temporaryFile().isEmpty(), m_session->item().listingTitle(),
                      m_albumTarget->folder());
}

SharingService::Failed CoverPane::statusSaying() {
    return [self = QPointer<CoverPane>(this)](const QString& why) {
        if (self) {
            self->showStatus(why);
        }
    };
}

void CoverPane::showStatus(const QString& message) {
    m_ui->titleLabel->setAlignment(Qt::AlignCenter);
    m_ui->titleLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    m_ui->titleLabel->setText(message);
    AccessibleWidgets::announce(m_ui->titleLabel, message);
    m_statusTimer.start();
}

QMenu* CoverPane::buildContextMenu() {
    if (m_session->temporaryFile().isEmpty()) {
        return nullptr;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto* share = new QMenu(tr("S&hare"), menu);
    ShareMenu::addServices(share, m_session, m_context.sharing(), statusSaying());
    m_actions->fillContextMenu(menu, share);
    return menu;
}
