#include "ui/library/FillWindow.h"

#include "catalogue/CountryNames.h"
#include "library/AppContext.h"
#include "settings/CoverFileName.h"
#include "settings/Settings.h"
#include "ui/library/FillTable.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    setWindowTitle(tr("Fill Covers in Folder"));
    auto* where =
        new QLabel(tr("%1 · Storefront: %2 · %3")
                       .arg(QFile::decodeName(options.root),
                            CountryNames::displayName(options.country).value_or(options.country),
                            options.highQuality ? tr("High Quality") : tr("Standard Quality")),
                   this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_name = new QLineEdit(m_options.coverName, this);
    m_name->setAccessibleName(tr("Cover file name"));
    m_name->setToolTip(tr("The name of the cover file saved into each album folder"));
    m_embed = new QCheckBox(tr("Also embed the cover into the audio files"), this);
    Settings& stored = context.settings();
    m_embed->setChecked(stored.value(Settings::fillEmbed));
    connect(m_embed, &QCheckBox::toggled, this,
            [&stored](bool on) { stored.setValue(Settings::fillEmbed, on); });
    // Another Fill window's choice is this one's too, between runs.
    connect(&stored, &Settings::changed, this, [this, &stored](SettingId id) {
        if (id == SettingId::FillEmbed && !m_run) {
            m_embed->setChecked(stored.value(Settings::fillEmbed));
        }
    });
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_state = new QLabel(tr("Press Start to look for albums without a cover."), this);
    m_state->setWordWrap(true);
    m_runButton = new QPushButton(tr("Start"), this);
    m_runButton->setDefault(true);
    m_search = new QPushButton(tr("Search by Hand"), this);
    m_search->setToolTip(tr("Search the catalogue for the selected album yourself"));
    m_search->setEnabled(false);

    auto* settings = new QHBoxLayout;
    settings->addWidget(new QLabel(tr("Cover file name:"), this));
    settings->addWidget(m_name);
    settings->addWidget(m_embed);
    settings->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_state, 1);
    buttons->addWidget(m_search);
    buttons->addWidget(m_runButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addLayout(settings);
    layout->addWidget(m_table);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_runButton, &QPushButton::clicked, this, [this] {
        if (m_run) {
            m_run->stop();
        } else {
            startRun();
        }
    });
    connect(m_search, &QPushButton::clicked, this, &FillWindow::searchByHand);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FillWindow::updateSearchButton);
    // A cover saved by hand into one of these albums shows in its row.
}

QSize FillWindow::sizeHint() const {
    return {900, 520};
}

FillWindow::~FillWindow() {
    if (m_run) {
        m_run->disconnect(this);
        m_run->stop();
    }
}

void FillWindow::startRun() {
    const QString name = m_name->text().trimmed();
    if (const auto problem = CoverFileName::formatProblem(name)) {
        // Refused once, up front: a name with a folder part would fail every album.
        m_state->setText(*problem);
        return;
    }
    m_options.coverName = name;
    m_options.embed = m_embed->isChecked();
    m_name->setEnabled(false);
    m_embed->setEnabled(false);
    m_table->clearAlbums();
    m_reports.clear();
    m_run = new FillRun(m_options, m_context.sources().primary(), m_context.images(), this);
    connect(m_run, &FillRun::albumFound, m_table, &FillTable::addAlbum);
    connect(m_run, &FillRun::albumFinished, this, &FillWindow::showAlbumFinished);
    connect(m_run, &FillRun::working, this, [this](const QString& doing) { showProgress(doing); });
    connect(m_run, &FillRun::waiting, this, [this](int seconds, const QString& why) {
        showProgress(tr("Waiting %n s: %1", nullptr, seconds).arg(why), true);
    });
    connect(m_run, &FillRun::notice, this,
            [this](const QString& text) { m_state->setToolTip(m_state->toolTip() + text + '\n'); });
    connect(m_run, &FillRun::finished, this, &FillWindow::showRunEnded);
    m_runButton->setText(tr("Stop"));
    m_progress->setRange(0, 0);
    m_state->setText(tr("Looking for albums…"));
    m_run->start();
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
    m_state->setText(m_run->scanFinished() && !waiting
                         ? tr("%1 · about %2 left").arg(doing, duration(left))
                         : doing);
}

void FillWindow::showAlbumFinished(const AlbumReport& report) {
    m_reports.append(report);
    m_table->setReport(report);
    updateSearchButton();
    if (m_run && m_run->scanFinished()) {
        showProgress(m_doing);
    }
}

void FillWindow::showRunEnded(FillRun::Ending ending, int remaining) {
    m_run->deleteLater();
    m_run = nullptr;
    m_name->setEnabled(true);
    m_embed->setEnabled(true);
    QMap<AlbumReport::Status, int> counts;
    for (const AlbumReport& report : std::as_const(m_reports)) {
        ++counts[report.status];
    }
    using Status = AlbumReport::Status;
    const QString tally =
        tr("%1 saved, %2 already had a cover, %3 without a confident match, %4 failed")
            .arg(counts[Status::Saved] + counts[Status::Planned] + counts[Status::EmbedFailed])
            .arg(counts[Status::HasCover] + counts[Status::Embedded])
            .arg(counts[Status::NoMatch] + counts[Status::Ambiguous] + counts[Status::Mixed])
            .arg(counts[Status::Failed] + counts[Status::Skipped]);
    const int found = m_progress->maximum();
    m_progress->setRange(0, std::max(1, found));
    m_progress->setValue(ending == FillRun::Ending::Completed
                             ? m_progress->maximum()
                             : std::max(0, found - remaining - (remaining ? 0 : 1)));
    m_runButton->setText(ending == FillRun::Ending::Completed ? tr("Start Again") : tr("Continue"));
    switch (ending) {
    case FillRun::Ending::Completed:
        m_state->setText(tr("Done: %1.").arg(tally));
        break;
    case FillRun::Ending::Stopped:
        m_state->setText(tr("Stopped with %n album(s) left: %1.", nullptr, remaining).arg(tally));
        break;
    case FillRun::Ending::RateLimited:
        m_state->setText(tr("The catalogue asks for a break; %n album(s) left. Continue later.",
                            nullptr, remaining));
        break;
    case FillRun::Ending::Unreachable:
        m_state->setText(
            tr("The catalogue could not be reached; %n album(s) left.", nullptr, remaining));
        break;
    }
}

void FillWindow::updateSearchButton() {
    const AlbumReport* report = m_table->selectedReport();
    using Status = AlbumReport::Status;
    m_search->setEnabled(report &&
                         (report->status == Status::NoMatch ||
                          report->status == Status::Ambiguous || report->status == Status::Failed));
}

void FillWindow::searchByHand() {
    const AlbumFolder* album = m_table->selectedAlbum();
    if (!album) {
        return;
    }
    Q_EMIT searchByHandRequested(*album, m_options.coverName);
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
    if (mayStop()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void FillWindow::showSavedByHand(const QByteArray& folder, const QString& file) {
    m_table->setSavedByHand(folder, file);
}
