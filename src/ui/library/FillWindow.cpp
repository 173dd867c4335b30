#include "ui/library/FillWindow.h"

#include "catalogue/CountryNames.h"
#include "library/AppContext.h"
#include "library/FillSaver.h"
#include "library/FillScan.h"
#include "library/ReplacedCovers.h"
#include "platform/TextSafety.h"
#include "settings/Settings.h"
#include "ui/common/AccessibleWidgets.h"
#include "ui/library/CandidateStrip.h"
#include "ui/library/FillChooser.h"
#include "ui/library/FillOptionsBar.h"
#include "ui/library/FillTable.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString duration(qint64 seconds) {
    return seconds >= 90 ? FillWindow::tr("%1 min").arg((seconds + 30) / 60)
                         : FillWindow::tr("%1 s").arg(seconds);
}

} // namespace

FillWindow::FillWindow(const FillOptions& options, AppContext& context, QWidget* parent)
    : QWidget(parent), m_options(options), m_context(context),
      m_table(new FillTable(options.root, context.images(), this)) {
    // Two windows on two libraries are told apart by the folder's name.
    const QString root = QFile::decodeName(options.root), folder = QFileInfo(root).fileName();
    setWindowTitle(
        tr("Fill Covers in Folder — %1")
            .arg(TextSafety::withoutControlCharacters(folder.isEmpty() ? root : folder)));
    m_choices = new FillOptionsBar(m_options, context.settings(), this);
    m_candidates = new CandidateStrip(context.images(), this);
    m_chooser = new FillChooser(context, this);
    m_restore = new QPushButton(tr("Restore Replaced Covers"), this);
    m_restore->setToolTip(tr("Put back the covers that upgrades and choices replaced in this "
                             "library"));
    m_progress = new QProgressBar(this);
    m_progress->setAccessibleName(tr("Progress of the fill"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_state = new QLabel(this);
    AccessibleWidgets::setRole(m_state, QAccessible::StatusBar);
    m_state->setObjectName(QStringLiteral("state"));
    m_state->setWordWrap(true);
    //: A button: start looking for the albums' covers (a verb).
    m_runButton = new QPushButton(tr("Start"), this);
    m_runButton->setDefault(true);
    m_search = new QPushButton(tr("Search by Hand"), this);
    m_search->setToolTip(tr("Search the iTunes Store for the selected album yourself"));
    m_search->setEnabled(false);
    // While the albums are read, Start waits for them; Stop Reading ends
    // the reading with the albums listed so far.
    m_stopReading = new QPushButton(tr("Stop Reading"), this);
    m_stopReading->setToolTip(tr("List only the albums read so far"));
    layOut();
    connectControls();
    m_choices->apply(m_options);
    rescan();
}

void FillWindow::layOut() {
    auto* where = new QLabel(
        tr("%1 · Storefront: %2 · %3")
            .arg(TextSafety::leftToRight(QFile::decodeName(m_options.root)),
                 CountryNames::displayName(m_options.country).value_or(m_options.country),
                 m_options.highQuality ? tr("High Quality") : tr("Standard Quality")),
        this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_state, 1);
    buttons->addWidget(m_stopReading);
    buttons->addWidget(m_restore);
    buttons->addWidget(m_search);
    buttons->addWidget(m_runButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(m_choices);
    layout->addWidget(m_table);
    layout->addWidget(m_candidates);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    AccessibleWidgets::tabInReadingOrder(this);
}

void FillWindow::connectControls() {
    // What counts as covered depends on these choices: the list is read
    // again when one changes.
    connect(m_choices, &FillOptionsBar::listChanged, this, [this] {
        FillOptions chosen = m_options;
        if (!m_choices->apply(chosen) && !FillOptionsBar::sameList(chosen, m_options)) {
            rescan();
        }
    });
    connect(m_stopReading, &QPushButton::clicked, this, [this] {
        m_startWhenScanned = false;
        m_scan->stop();
    });
    connect(m_runButton, &QPushButton::clicked, this, [this] {
        if (m_run) {
            m_run->stop();
        } else if (m_startWhenScanned) {
            m_startWhenScanned = false;
            m_scan->stop();
        } else {
            startRun();
        }
    });
    connect(m_search, &QPushButton::clicked, this, &FillWindow::searchByHand);
    connect(m_candidates, &CandidateStrip::chosen, this, [this](const CatalogueItem& item) {
        const AlbumFolder* album = m_table->selectedAlbum();
        if (album && m_table->selectedReport() && !m_run) {
            say(tr("Saving the chosen cover of %1…").arg(album->album()));
            m_chooser->choose(m_options, *album, *m_table->selectedReport(), item);
        }
    });
    connect(m_chooser, &FillChooser::chosen, this, [this](const AlbumReport& saved) {
        m_table->setReport(saved);
        say(saved.statusText());
        updateSearchButton();
    });
    connect(m_restore, &QPushButton::clicked, this, [this] {
        m_restore->setEnabled(false);
        say(tr("Putting back the replaced covers…"));
        m_chooser->restore(m_options.root);
    });
    connect(m_chooser, &FillChooser::restored, this, [this](int back, int left) {
        m_restore->setEnabled(!m_run);
        rescan();
        say(back + left == 0 ? tr("No replaced covers are kept for this library.")
                             : tr("%Ln cover(s) put back; %1 left as they are (changed since, "
                                  "or moved).",
                                  nullptr, back)
                                   .arg(left));
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FillWindow::updateSearchButton);
}

FillWindow::~FillWindow() {
    if (m_run) {
        m_run->disconnect(this);
        m_run->stop();
    }
    if (m_scan) {
        m_scan->disconnect(this);
        m_scan->stop();
    }
}

std::optional<FillOptions> FillWindow::chosenOptions() {
    FillOptions options = m_options;
    if (const auto problem = m_choices->apply(options)) {
        // Refused once, up front, rather than failing every album.
        say(*problem);
        return std::nullopt;
    }
    return options;
}

void FillWindow::rescan() {
    const std::optional<FillOptions> chosen = chosenOptions();
    if (!chosen || m_run) {
        return;
    }
    m_options = *chosen;
    if (m_scan) { // stopped; what it had still to tell is dropped
        m_scan->disconnect(this);
        m_scan->stop();
        m_scan->deleteLater(); // this may run inside its own signal
    }
    m_table->clearAlbums(true);
    m_scan = new FillScan(m_options, m_context.sources().primary().capabilities(), this);
    m_scanEnded = false;
    connect(m_scan, &FillScan::albumFound, this,
            [this](const AlbumFolder& album, int index, const AlbumReport& preview, bool told) {
                m_table->addAlbum(album, index);
                if (told) {
                    m_table->setPreview(preview);
                }
                say(tr("Reading the albums: %Ln found…", nullptr, index + 1));
            });
    connect(m_scan, &FillScan::finished, this, &FillWindow::showScanEnded);
    //: A button: stop what runs (a verb).
    m_runButton->setText(m_startWhenScanned ? tr("Stop") : tr("Start"));
    m_stopReading->show();
    m_progress->setRange(0, 0);
    say(tr("Reading the albums…"));
    m_scan->start();
}

void FillWindow::showScanEnded(bool complete) {
    m_scanEnded = true;
    if (m_stopReading->hasFocus()) {
        m_runButton->setFocus();
    }
    m_stopReading->hide();
    const int found = int(m_scan->albums().size());
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_runButton->setText(!m_ending                                 ? tr("Start")
                         : *m_ending == FillRun::Ending::Completed ? tr("Start Again")
                                                                   : tr("Continue"));
    if (complete && m_startWhenScanned) {
        startRun();
        return;
    }
    m_startWhenScanned = false;
    if (m_ending) {
        showSummary();
    } else {
        say(complete
                ? tr("%Ln album(s) found. Start looks for the covers they lack.", nullptr, found)
                : tr("Reading stopped with %Ln album(s) listed. Start reads "
                     "them all first.",
                     nullptr, found));
    }
}

void FillWindow::startRun() {
    const std::optional<FillOptions> chosen = chosenOptions();
    if (!chosen || m_run) {
        return;
    }
    const bool sameList = FillOptionsBar::sameList(*chosen, m_options);
    if (!sameList || !m_scan || !m_scan->isComplete()) {
        // The run works on a complete list, read with these choices.
        m_startWhenScanned = true;
        if (!sameList || m_scanEnded) {
            rescan();
        }
        m_runButton->setText(tr("Stop"));
        return;
    }
    m_startWhenScanned = false;
    m_options = *chosen; // the storefronts may have changed
    m_choices->setEnabled(false);
    m_restore->setEnabled(false);
    m_runIndexes = m_table->reports()->openIndexes();
    QList<AlbumFolder> albums;
    for (const int index : std::as_const(m_runIndexes)) {
        albums.append(m_scan->albums().at(index));
    }
    m_run = new FillRun(m_options, m_context.sources().primary(), m_context.images(), this);
    connect(m_run, &FillRun::albumFinished, this, &FillWindow::showAlbumFinished);
    connect(m_run, &FillRun::working, this, [this](const QString& doing) { showProgress(doing); });
    connect(m_run, &FillRun::waiting, this, [this](int seconds, const QString& why) {
        showProgress(tr("Waiting %Ln s: %1", nullptr, seconds).arg(why), true);
    });
    connect(m_run, &FillRun::notice, this,
            [this](const QString& text) { m_state->setToolTip(m_state->toolTip() + text + '\n'); });
    connect(m_run, &FillRun::finished, this, &FillWindow::showRunEnded);
    m_runButton->setText(tr("Stop"));
    m_progress->setRange(0, 0);
    say(tr("Looking for covers…"));
    m_run->start(albums);
}

void FillWindow::showProgress(const QString& doing, bool waiting) {
    if (!m_run) {
        return;
    }
    m_doing = doing;
    const int found = m_run->albumsFound();
    m_progress->setRange(0, std::max(1, found));
    // Never full before the run has ended.
    m_progress->setValue(std::min(m_run->albumsDone(), std::max(0, found - 1)));
    const qint64 left = qint64(m_run->requestsLeft()) * m_options.intervalMs / 1000;
    say(m_run->scanFinished() && !waiting ? tr("%1 · about %2 left").arg(doing, duration(left))
                                          : doing);
}

void FillWindow::showAlbumFinished(const AlbumReport& report) {
    AlbumReport listed = report;
    listed.index = m_runIndexes.value(report.index, -1); // the run's albums are some of the list's
    if (listed.index < 0) {
        return;
    }
    m_table->setReport(listed);
    updateSearchButton();
    if (m_run && m_run->scanFinished()) {
        showProgress(m_doing);
    }
}

void FillWindow::showRunEnded(FillRun::Ending ending, int remaining) {
    m_run->deleteLater();
    m_run = nullptr;
    m_choices->setEnabled(true);
    m_restore->setEnabled(true);
    m_ending = ending;
    m_remaining = remaining;
    const int found = m_progress->maximum();
    m_progress->setRange(0, std::max(1, found));
    m_progress->setValue(ending == FillRun::Ending::Completed
                             ? m_progress->maximum()
                             : std::max(0, found - remaining - (remaining ? 0 : 1)));
    //: A button: look for the covers once more, from the first album (a verb).
    m_runButton->setText(ending == FillRun::Ending::Completed ? tr("Start Again") : tr("Continue"));
    showSummary();
}

// What this window's runs and searches by hand did, over every album listed.
void FillWindow::showSummary() {
    if (!m_ending || m_run) {
        return;
    }
    say(m_table->reports()->summary(*m_ending, m_remaining));
}

void FillWindow::updateSearchButton() {
    const AlbumReport* report = m_table->selectedReport();
    using Status = AlbumReport::Status;
    m_search->setEnabled(report &&
                         (report->status == Status::NoMatch ||
                          report->status == Status::Ambiguous || report->status == Status::Failed));
    // An ambiguous album shows what matched alike, to choose from.
    QList<CatalogueItem> candidates;
    if (report && report->status == Status::Ambiguous) {
        candidates = report->rivals; // the best among them
    }
    m_candidates->setCandidates(candidates, report ? report->album : QString());
}

void FillWindow::searchByHand() {
    if (const AlbumFolder* album = m_table->selectedAlbum()) {
        Q_EMIT searchByHandRequested(*album, m_options.coverName);
    }
}

bool FillWindow::mayStop() {
    if (!m_run) {
        return true;
    }
    const auto answer = QMessageBox::question(
        this, tr("Stop Filling Covers?"),
        tr("The run is not done yet. What it did is kept; Continue takes it up again."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return false;
    }
    if (m_run) {
        m_run->stop();
    }
    return true;
}

void FillWindow::closeEvent(QCloseEvent* event) {
    event->setAccepted(mayStop());
}

void FillWindow::showSavedByHand(const QByteArray& folder, const QString& file) {
    m_table->setSavedByHand(folder, file);
    updateSearchButton();
    showSummary();
}

void FillWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        m_runButton->setFocus(); // not the list, which is empty at first
    }
}

void FillWindow::keyPressEvent(QKeyEvent* event) {
    // Return starts (as a dialog's default button would), unless another
    // button has the focus.
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if (isReturn && (!button || button == m_runButton) && m_runButton->isEnabled()) {
        m_runButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FillWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) { // the size the user gave it, for the next window
        m_context.settings().setValue(Settings::fillWindowWidth, width());
        m_context.settings().setValue(Settings::fillWindowHeight, height());
    }
}

void FillWindow::say(const QString& text) {
    m_state->setText(text);
    AccessibleWidgets::announce(m_state, text);
}
