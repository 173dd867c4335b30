#include "CoverViewController.h"
#include "ui_CoverView.h"

#include "AlertHelper.h"
#include "CoverFileWriter.h"
#include "CoverSelection.h"
#include "DefaultsHelper.h"
#include "DraggableImageView.h"
#include "ImageCache.h"
#include "ImageDataHelper.h"
#include "ImageService.h"
#include "MediaHelper.h"
#include "NotificationNames.h"
#include "Pasteboard.h"
#include "ShareMenu.h"
#include "UserDefaults.h"
#include "UserPaths.h"
#include "Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QShowEvent>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QString kDownloadCoverPlace = QStringLiteral("downloadCover(notification:)");
const QString kCoverActionPlace = QStringLiteral("coverAction(actionNumber:)");
const QString kSaveCoverPlace = QStringLiteral("saveCover()");
const QString kSaveToDownloadsPlace = QStringLiteral("saveCoverToDownloads()");

CoverViewController::SaveDialog& saveDialogOverride() {
    static CoverViewController::SaveDialog dialog;
    return dialog;
}

void showSaveDialog(QWidget* window, const QString& suggestedName,
                    std::function<void(std::optional<QString>)> done) {
    if (saveDialogOverride()) {
        saveDialogOverride()(window, suggestedName, std::move(done));
        return;
    }
    QFileDialog* dialog = CoverViewController::makeSaveDialog(window, suggestedName);
    auto answered = std::make_shared<bool>(false);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [done, answered](const QString& path) {
                         *answered = true;
                         done(path);
                     });
    QObject::connect(dialog, &QDialog::finished, dialog, [done, answered](int) {
        if (!*answered) {
            *answered = true;
            done(std::nullopt);
        }
    });
    dialog->open();
}

// A pull-down menu item that knows its index (the title counts as 0).
QAction* addIndexedItem(QMenu* menu, const QString& title, int index) {
    QAction* action = menu->addAction(title);
    action->setData(index);
    return action;
}

} // namespace

QFileDialog* CoverViewController::makeSaveDialog(QWidget* window, const QString& suggestedName) {
    auto* dialog = new QFileDialog(window, QStringLiteral("Save Cover As…"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("JPEG image (*.jpg *.jpeg)"));
    dialog->setDefaultSuffix(QStringLiteral("jpg"));
    // Where the user saved last; the Downloads folder the first time.
    const QUrl last = UserDefaults::standard().urlForKey(SettingsKeys::lastSaveFolder);
    dialog->setDirectory(last.isLocalFile() && QFileInfo(last.toLocalFile()).isDir()
                             ? last.toLocalFile()
                             : UserPaths::downloadsDirectory());
    dialog->selectFile(suggestedName);
    dialog->resize(860, 560); // room for the columns to be read
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void CoverViewController::setSaveDialogForTesting(SaveDialog dialog) {
    saveDialogOverride() = std::move(dialog);
}

CoverViewController::CoverViewController(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::CoverView>()) {
    m_ui->setupUi(this);
    m_loader = new CoverLoader(ImageService::shared(), this);
    // The progress keeps its place while hidden: the cover's room stays the
    // same from loading to shown, so the cover is decoded once for it.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_ui->progressIndicator, m_ui->progressTextField}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    // Likewise the lines whose text comes and goes: the progress read-out has
    // room for its two lines, the facts for one.
    const int line = fontMetrics().lineSpacing();

    m_ui->progressTextField->setFixedHeight(2 * line);
    m_ui->coverFactsLabel->setFixedHeight(line);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(kStatusMilliseconds);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] {
        // Back to the pane's own title, whatever status messages came between.
        m_ui->titleLabel->setText(m_title);
        m_ui->titleLabel->setTextInteractionFlags(
            m_state == State::Shown ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                    : Qt::NoTextInteraction);
    });
    // Push buttons with menus: their arrow sits beside the title, never on it.
    for (QPushButton* button : {m_ui->viewButton, m_ui->copyButton, m_ui->shareButton}) {
        button->setMenu(new QMenu(button));
    }
    connect(m_ui->viewButton->menu(), &QMenu::triggered, this,
            [this](QAction* action) { viewButtonChose(action->data().toInt()); });
    connect(m_ui->copyButton->menu(), &QMenu::triggered, this,
            [this](QAction* action) { copyButtonChose(action->data().toInt()); });
    connect(m_ui->saveCoverButton, &QPushButton::clicked, this, [this] { coverAction(0); });
    connect(m_ui->tryAgainButton, &QPushButton::clicked, this, [this] {
        downloadCover(Notification{NotificationNames::downloadCover, m_selectionInfo});
    });
    viewDidLoad();
    setupPopUpButtons();
    // Never narrower than its buttons at their natural widths.
    setMinimumWidth(m_ui->buttonLayout->sizeHint().width() + layout()->contentsMargins().left() +
                    layout()->contentsMargins().right());
    // Empty and disabled until it appears; the notifications come with that.
    setControlsEnabled(false);
    resetProgress(true);
}

// The image service drops the view's load, without a completion, when the view goes.
CoverViewController::~CoverViewController() = default;

DraggableImageView* CoverViewController::coverImageView() const {
    return m_ui->coverImageView;
}
QProgressBar* CoverViewController::progressIndicator() const {
    return m_ui->progressIndicator;
}
QLabel* CoverViewController::progressTextField() const {
    return m_ui->progressTextField;
}
QLabel* CoverViewController::titleLabel() const {
    return m_ui->titleLabel;
}
QLabel* CoverViewController::coverFactsLabel() const {
    return m_ui->coverFactsLabel;
}
QLabel* CoverViewController::failureLabel() const {
    return m_ui->failureLabel;
}
QPushButton* CoverViewController::tryAgainButton() const {
    return m_ui->tryAgainButton;
}
QPushButton* CoverViewController::viewButton() const {
    return m_ui->viewButton;
}
QPushButton* CoverViewController::copyButton() const {
    return m_ui->copyButton;
}
QPushButton* CoverViewController::shareButton() const {
    return m_ui->shareButton;
}
QPushButton* CoverViewController::saveCoverButton() const {
    return m_ui->saveCoverButton;
}

void CoverViewController::viewDidLoad() {
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(NotificationNames::coverActionHelper, this,
                       [this](const Notification& notification) {
                           const auto number = CoverSelection::integer(
                               notification.userInfo, NotificationNames::selectedCoverActionKey);
                           if (number) {
                               coverAction(*number);
                           }
                       });
    center.addObserver(NotificationNames::downloadCover, this,
                       [this](const Notification& notification) { downloadCover(notification); });
    center.addObserver(NotificationNames::removeCover, this,
                       [this](const Notification&) { removeCover(); });
}

void CoverViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // the window came back from the task bar: nothing to redo
    }
    setupPopUpButtons();
    updateInterface(false);
    resetProgress(true);
    if (m_state == State::Shown) {
        m_state = State::Idle;
    }
}

void CoverViewController::setupPopUpButtons() {
    m_ui->viewButton->setText(QStringLiteral("View Cover"));
    m_ui->copyButton->setText(QStringLiteral("Copy Cover"));
    m_ui->shareButton->setText(QStringLiteral("Share Cover"));
    QMenu* copy = m_ui->copyButton->menu();
    copy->clear();
    addIndexedItem(copy, QStringLiteral("Copy Cover Image to Clipboard"), 1);
    addIndexedItem(copy, QStringLiteral("Copy Cover URL to Clipboard"), 2);
    addIndexedItem(copy, QStringLiteral("Copy Cover Title to Clipboard"), 3);
    m_ui->shareButton->menu()->clear();
    m_ui->saveCoverButton->setText(QStringLiteral("Save Cover As…"));
}

// Selection ------------------------------------------------------------------

void CoverViewController::fail(const QString& place) {
    AlertHelper::showSheet(AlertHelper::errorAlert(AlertHelper::qualifiedClassName(this), place),
                           this);
    NotificationCenter::defaultCenter().post(NotificationNames::disableMenuItems);
}

void CoverViewController::downloadCover(const Notification& notification) {
    const QVariantMap info = notification.userInfo;
    if (info.isEmpty()) {
        fail(kDownloadCoverPlace);
        return;
    }
    using namespace CoverSelection;
    const bool high = DefaultsHelper::storedQuality() == 1;
    const auto url =
        CoverSelection::url(info, high ? Keys::highResolutionUrl : Keys::standardResolutionUrl);
    if (!url) {
        fail(kDownloadCoverPlace);
        return;
    }
    const auto link = [&info](const QString& key) {
        return CoverSelection::url(info, key).value_or(QUrl()).toString(QUrl::FullyEncoded);
    };
    m_rungs =
        CoverLadder::rungs(link(Keys::highResolutionUrl), link(Keys::standardResolutionUrl), high);
    m_ui->coverImageView->artistName = plainText(info, Keys::artistName);
    m_ui->coverImageView->collectionName = plainText(info, Keys::collectionName);
    artistName = plainText(info, Keys::artistName);
    collectionName = plainText(info, Keys::collectionName);
    artworkUrl = *url;
    collectionId = integer(info, Keys::collectionId);
    entityString = plainText(info, Keys::entityString);
    iTunesUrl = CoverSelection::url(info, Keys::iTunesUrl);
    webBrowserUrl = CoverSelection::url(info, Keys::webBrowserUrl);
    m_selectionInfo = info;
    m_ui->failureLabel->hide();
    m_ui->tryAgainButton->hide();

    // A download of an earlier selection must not land on this one, and the
    // earlier cover's file is no longer handed out.
    m_loader->cancel();
    withdrawTemporaryFile();
    const quint64 selection = ++m_selection;
    const QList<CoverRung> rungs = CoverLadder::inTryingOrder(m_rungs);
    if (rungs.isEmpty()) {
        startDownload(selection);
        return;
    }
    // The rung that answered before may be at hand: then no download, no progress.
    const CoverRung first = rungs.first();
    const QString cacheKey = first.url.toString(QUrl::FullyEncoded);
    ImageCache& cache = ImageCache::shared();
    if (auto cached = cache.imageFromMemory(cacheKey)) {
        QTimer::singleShot(0, this, [this, selection, first, cover = *cached] {
            if (selection == m_selection) {
                showCover(cover, first);
            }
        });
        return;
    }
    cache.diskImageExists(cacheKey, this, [this, selection, cacheKey, first](bool exists) {
        if (selection != m_selection) {
            return;
        }
        if (!exists) {
            startDownload(selection);
            return;
        }
        ImageCache::shared().imageFromDisk(
            cacheKey, m_ui->coverImageView->decodeBox(), this,
            [this, selection, cacheKey, first](std::optional<CoverImage> cover) {
                if (selection != m_selection) {
                    return;
                }
                if (!cover) {
                    // The entry went bad after the check: fetch it again.
                    startDownload(selection);
                    return;
                }
                // On screen at once; the bytes (for saving, the temporary file,
                // other sizes) follow from the disk.
                m_ui->coverImageView->setImage(*cover);
                ImageCache::shared().bytesFromDisk(
                    cacheKey, this,
                    [this, selection, cacheKey, first, cover = *cover](QByteArray bytes) mutable {
                        if (selection != m_selection) {
                            return;
                        }
                        if (bytes.isEmpty()) {
                            startDownload(selection);
                            return;
                        }
                        cover.encodedData = bytes;
                        ImageCache::shared().storeInMemory(cacheKey, cover);
                        showCover(cover, first);
                    });
            },
            false);
    });
}

void CoverViewController::showCover(const CoverImage& cover, const CoverRung& rung) {
    artworkUrl = rung.url;
    m_ui->coverImageView->setImage(cover);
    m_state = State::Shown;
    updateInterface(true);
    resetProgress(true);
    m_ui->coverFactsLabel->setText(CoverFacts::of(cover.encodedData, rung.original).display());
}

void CoverViewController::showFailure(const QString& reason) {
    m_ui->coverImageView->clearImage();
    m_state = State::Failed;
    updateInterface(false);
    resetProgress(true);
    m_ui->failureLabel->setText(QStringLiteral("Couldn't download the cover (%1).").arg(reason));
    m_ui->failureLabel->show();
    m_ui->tryAgainButton->show();
}

void CoverViewController::startDownload(quint64 selection) {
    m_state = State::Loading;
    updateInterface(false);
    resetProgress(false);
    updateProgress(0, -1);
    QPointer<CoverViewController> self(this);
    m_loader->load(
        m_rungs, m_ui->coverImageView->decodeBox(),
        [self, selection](qint64 received, qint64 expected, const QUrl&) {
            if (self && selection == self->m_selection) {
                self->updateProgress(received, expected);
            }
        },
        [self, selection](const ImageLoadResult& result, const CoverRung& rung) {
            if (!self || selection != self->m_selection) {
                return; // superseded: a newer selection owns the pane
            }
            if (!result.hasImage()) {
                self->showFailure(failureReason(result));
                return;
            }
            QTimer::singleShot(0, self, [self, selection, cover = result.cover, rung] {
                if (self && selection == self->m_selection) {
                    self->showCover(cover, rung);
                }
            });
        });
}

void CoverViewController::removeCover() {
    m_loader->cancel();
    ++m_selection;
    m_ui->coverImageView->clearImage();
    m_ui->coverImageView->artistName.reset();
    m_ui->coverImageView->collectionName.reset();
    m_state = State::Idle;
    updateInterface(false);
    resetProgress(true);
    artistName.reset();
    artworkUrl.reset();
    collectionId.reset();
    collectionName.reset();
    entityString.reset();
    iTunesUrl.reset();
    webBrowserUrl.reset();
    m_ui->failureLabel->hide();
    m_ui->tryAgainButton->hide();
}

// Interface --------------------------------------------------------------------

QString CoverViewController::titleText(const std::optional<QString>& entity,
                                       const std::optional<QString>& artist,
                                       const std::optional<QString>& collection) {
    static const QStringList titledByCollection{QStringLiteral("movie"), QStringLiteral("software"),
                                                QStringLiteral("tvSeason")};
    QString title;
    if (entity && titledByCollection.contains(*entity) && collection) {
        title = *collection;
    } else if (artist && collection) {
        title = *artist + QStringLiteral(" - ") + *collection;
    }
    if (title.endsWith(QLatin1Char('\n'))) {
        title.chop(1);
    }
    return title;
}

QString CoverViewController::listingTitle(const std::optional<QString>& entity) {
    if (!entity) {
        return {};
    }
    if (*entity == QLatin1String("software")) {
        return QStringLiteral("View Cover Listing in App Store");
    }
    if (*entity == QLatin1String("audiobook") || *entity == QLatin1String("ebook")) {
        return QStringLiteral("View Cover Listing in Books");
    }
    if (*entity == QLatin1String("music")) {
        return QStringLiteral("View Cover Listing in Music");
    }
    if (*entity == QLatin1String("podcast")) {
        return QStringLiteral("View Cover Listing in Podcasts");
    }
    return {};
}

void CoverViewController::withdrawTemporaryFile() {
    ++m_interface; // a file still being written for the earlier cover is never published
    UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
    NotificationCenter::defaultCenter().post(NotificationNames::disableMenuItems);
    updateShareMenu(false);
}

void CoverViewController::updateInterface(bool enabled) {
    const quint64 refresh = ++m_interface;
    m_ui->coverImageView->setPlaceholderText(
        m_state == State::Idle ? QStringLiteral("Select a result to see its cover") : QString());
    m_ui->coverFactsLabel->clear();
    QLabel* title = m_ui->titleLabel;
    title->setAlignment(Qt::AlignCenter);
    m_title = enabled ? titleText(entityString, artistName, collectionName) : QString();
    if (!m_statusTimer.isActive()) {
        title->setText(m_title);
        title->setTextInteractionFlags(enabled ? Qt::TextSelectableByMouse |
                                                     Qt::TextSelectableByKeyboard
                                               : Qt::NoTextInteraction);
    }

    QMenu* view = m_ui->viewButton->menu();
    view->clear();
    addIndexedItem(view, QStringLiteral("View Cover in Browser"), 1);
    if (enabled) {
        const QString listing = listingTitle(entityString);
        if (!listing.isEmpty()) {
            addIndexedItem(view, listing, 2);
        }
    }

    // The published file always belongs to the cover shown: the old one is
    // withdrawn at once, the new one published when it has been written.
    UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
    auto& center = NotificationCenter::defaultCenter();
    if (!enabled) {
        ImageDataHelper::removeTemporaryFilesAsync();
        center.post(NotificationNames::disableMenuItems);
    } else {
        // Written on a worker (a cover that is no JPEG must be encoded); the
        // menus follow once the file exists.
        QPointer<CoverViewController> self(this);
        ImageDataHelper::createTemporaryFileAsync(
            m_ui->coverImageView->coverImage(), artistName, collectionId, collectionName, this,
            [self, refresh](const QUrl& file) {
                if (!self || refresh != self->m_interface) {
                    return;
                }
                UserDefaults::standard().setUrl(SettingsKeys::temporaryFileUrl, file);
                if (file.isEmpty()) {
                    NotificationCenter::defaultCenter().post(NotificationNames::disableMenuItems);
                } else {
                    NotificationCenter::defaultCenter().post(
                        NotificationNames::enableMenuItems,
                        {{NotificationNames::listingTitleKey, listingTitle(self->entityString)}});
                }
                self->updateShareMenu(true);
            });
    }

    setControlsEnabled(enabled);
    updateShareMenu(false);
}

void CoverViewController::setControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_ui->viewButton, m_ui->copyButton, m_ui->shareButton, m_ui->saveCoverButton}) {
        control->setEnabled(enabled);
    }
}

void CoverViewController::updateShareMenu(bool enabled) {
    QMenu* share = m_ui->shareButton->menu();
    share->clear();
    const QUrl file = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
    // Copying the image needs the file of this cover: until it exists, nothing to copy.
    m_ui->copyButton->menu()->actions().first()->setEnabled(enabled && !file.isEmpty());
    if (enabled && !file.isEmpty()) {
        ShareMenu::addServices(share, file);
    }
}

void CoverViewController::resetProgress(bool hidden) {
    m_ui->progressIndicator->setRange(0, 100);
    m_ui->progressIndicator->setValue(0);
    m_ui->progressIndicator->setVisible(!hidden);
    m_ui->progressTextField->setVisible(!hidden);
    m_ui->progressTextField->setText(QString());
}

QString CoverViewController::progressText(qint64 expectedSize) {
    const double megabytes = double(expectedSize) / 1048576.0;
    if (megabytes >= 0.001) {
        return QString::asprintf("Downloading Cover\n%.2f MB", megabytes);
    }
    return QStringLiteral("Requesting Cover…");
}

void CoverViewController::updateProgress(qint64 receivedSize, qint64 expectedSize) {
    QProgressBar* bar = m_ui->progressIndicator;
    if (double(expectedSize) / 1048576.0 >= 0.001) {
        bar->setRange(0, 100);
        bar->setValue(qBound(0, qRound(double(receivedSize) / double(expectedSize) * 100.0), 100));
        m_ui->progressTextField->setText(progressText(expectedSize));
        return;
    }
    // Without a known length the bar moves on its own and the text counts
    // what arrived so far.
    bar->setRange(0, 0);
    m_ui->progressTextField->setText(progressText(receivedSize));
}

void CoverViewController::showStatus(const QString& message) {
    m_ui->titleLabel->setAlignment(Qt::AlignCenter);
    m_ui->titleLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    m_ui->titleLabel->setText(message);
    m_statusTimer.start();
}

// Actions --------------------------------------------------------------------

void CoverViewController::openLink(const std::optional<QUrl>& link,
                                   const std::optional<QUrl>& fallback) {
    if (link && Workspace::shared().openUrl(*link)) {
        return;
    }
    if (fallback && Workspace::shared().openUrl(*fallback)) {
        return;
    }
    showStatus(linkNotOpened);
}

void CoverViewController::copyImage(const QUrl& file) {
    // The file, its path and its JPEG at once (read on a worker: a large cover
    // takes a while); a PNG for the applications that paste only PNG follows,
    // encoded on a worker from the same bytes, nothing of it kept here.
    QPointer<CoverViewController> self(this);
    auto* reading = new QFutureWatcher<QByteArray>(this);
    connect(reading, &QFutureWatcher<QByteArray>::finished, this, [self, reading, file] {
        reading->deleteLater();
        const QByteArray jpeg = reading->result();
        Pasteboard::general().writeFile(file, jpeg);
        self->showStatus(copiedImage);
        auto* encoding = new QFutureWatcher<QByteArray>(self);
        connect(encoding, &QFutureWatcher<QByteArray>::finished, self, [encoding, file, jpeg] {
            encoding->deleteLater();
            Pasteboard::general().addPng(file, jpeg, encoding->result());
        });
        encoding->setFuture(QtConcurrent::run([jpeg] { return ImageCodec::pngData(jpeg); }));
    });
    reading->setFuture(QtConcurrent::run([path = file.toLocalFile()] {
        QFile jpeg(path);
        return jpeg.open(QIODevice::ReadOnly) ? jpeg.read(jpeg.size()) : QByteArray();
    }));
}

void CoverViewController::viewButtonChose(int index) {
    if (index == 1) {
        coverAction(2);
    } else if (index == 2) {
        coverAction(3);
    }
}

void CoverViewController::copyButtonChose(int index) {
    if (index >= 1 && index <= 3) {
        coverAction(3 + index);
    }
}

void CoverViewController::coverAction(qint64 actionNumber) {
    auto alert = [this] {
        AlertHelper::showSheet(
            AlertHelper::errorAlert(AlertHelper::qualifiedClassName(this), kCoverActionPlace),
            this);
    };
    switch (actionNumber) {
    case 0:
    case 1:
        if (!m_ui->coverImageView->hasImage()) {
            alert();
        } else if (actionNumber == 0) {
            saveCover();
        } else {
            saveCoverToDownloads();
        }
        return;
    case 2:
    case 3: {
        const std::optional<QUrl>& url = actionNumber == 2 ? artworkUrl : iTunesUrl;
        if (!url) {
            alert();
            return;
        }
        // Store links (musics:, itms-apps:) have no handler on most desktops:
        // the web listing stands in for them.
        openLink(url, actionNumber == 3 ? webBrowserUrl : std::nullopt);
        return;
    }
    case 4: {
        const QUrl file = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
        if (file.isEmpty()) {
            alert();
            return;
        }
        copyImage(file);
        return;
    }
    case 5:
        if (!artworkUrl) {
            alert();
            return;
        }
        Pasteboard::general().writeText(artworkUrl->toString(QUrl::FullyEncoded));
        showStatus(copiedUrl);
        return;
    case 6:
        // The title itself, also while a status message stands in its place.
        Pasteboard::general().writeText(m_title);
        showStatus(copiedTitle);
        return;
    default:
        alert();
        return;
    }
}

// Saving ---------------------------------------------------------------------

void CoverViewController::saveCover() {
    if (!m_ui->coverImageView->hasImage()) {
        fail(kSaveCoverPlace);
        Q_EMIT saveFinished({});
        return;
    }
    const CoverImage cover = m_ui->coverImageView->coverImage();
    const QString fileName =
        MediaHelper::coverFileName(artistName.value_or(QStringLiteral("ERROR")),
                                   collectionName.value_or(QStringLiteral("ERROR")));
    QPointer<CoverViewController> self(this);
    auto* encoding = new QFutureWatcher<std::optional<QByteArray>>(this);
    connect(
        encoding, &QFutureWatcher<std::optional<QByteArray>>::finished, this,
        [self, encoding, fileName] {
            encoding->deleteLater();
            const std::optional<QByteArray> jpeg = encoding->result();
            if (!jpeg) {
                self->fail(kSaveCoverPlace);
                Q_EMIT self->saveFinished({});
                return;
            }
            QWidget* window = self->window();
            if (!window || !window->isVisible()) {
                Q_EMIT self->saveFinished({});
                return;
            }
            showSaveDialog(window, fileName, [self, jpeg](std::optional<QString> path) {
                if (!self) {
                    return;
                }
                if (!path || path->isEmpty()) {
                    Q_EMIT self->saveFinished({});
                    return;
                }
                // A name typed without an extension is a JPEG file all the same.
                const QString target =
                    QFileInfo(*path).suffix().isEmpty() ? *path + QStringLiteral(".jpg") : *path;
                auto* writing = new QFutureWatcher<CoverFileWriter::WriteResult>(self);
                connect(writing, &QFutureWatcher<CoverFileWriter::WriteResult>::finished, self,
                        [self, writing] {
                            writing->deleteLater();
                            const CoverFileWriter::WriteResult written = writing->result();
                            if (!written.ok()) {
                                self->fail(kSaveCoverPlace);
                            } else {
                                UserDefaults::standard().setUrl(
                                    SettingsKeys::lastSaveFolder,
                                    QUrl::fromLocalFile(QFileInfo(written.path).absolutePath()));
                            }
                            Q_EMIT self->saveFinished(written.path);
                        });
                writing->setFuture(QtConcurrent::run([target, data = *jpeg] {
                    return CoverFileWriter::writeReplacing(target, data);
                }));
            });
        });
    encoding->setFuture(QtConcurrent::run([cover] { return ImageCodec::jpegData(cover); }));
}

void CoverViewController::saveCoverToDownloads() {
    if (!m_ui->coverImageView->hasImage()) {
        fail(kSaveToDownloadsPlace);
        Q_EMIT saveFinished({});
        return;
    }
    QWidget* window = this->window();
    if (!window || !window->isVisible()) {
        Q_EMIT saveFinished({});
        return;
    }
    const CoverImage cover = m_ui->coverImageView->coverImage();
    const QString fileName =
        MediaHelper::coverFileName(artistName.value_or(QStringLiteral("ERROR")),
                                   collectionName.value_or(QStringLiteral("ERROR")));
    const QString folder = UserPaths::downloadsDirectory();
    // A JPEG cover is its cache entry byte for byte: copied, not written again.
    const QString cached =
        artworkUrl && ImageCodec::isJpeg(cover.encodedData)
            ? ImageCache::shared().diskPathForKey(artworkUrl->toString(QUrl::FullyEncoded))
            : QString();
    auto* saving = new QFutureWatcher<CoverFileWriter::WriteResult>(this);
    connect(saving, &QFutureWatcher<CoverFileWriter::WriteResult>::finished, this, [this, saving] {
        saving->deleteLater();
        const CoverFileWriter::WriteResult written = saving->result();
        if (!written.ok()) {
            fail(kSaveToDownloadsPlace);
        } else {
            showStatus(savedToDownloads.arg(QFileInfo(written.path).fileName()));
        }
        Q_EMIT saveFinished(written.path);
    });
    saving->setFuture(
        QtConcurrent::run([cover, fileName, folder, cached]() -> CoverFileWriter::WriteResult {
            const std::optional<QByteArray> jpeg = ImageCodec::jpegData(cover);
            if (!jpeg) {
                return {{}, QStringLiteral("The cover could not be encoded as JPEG.")};
            }
            QDir().mkpath(folder);
            return CoverFileWriter::writeWithFreeName(folder, fileName, *jpeg, cached);
        }));
}
