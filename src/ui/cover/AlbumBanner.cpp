#include "ui/cover/AlbumBanner.h"

#include "platform/TextSafety.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

AlbumBanner::AlbumBanner(QAction* saveInto, QAction* embedInto, QWidget* parent)
    : QFrame(parent), m_title(new QLabel(this)), m_outcome(new QLabel(this)) {
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::AlternateBase);
    setAutoFillBackground(true);
    m_title->setWordWrap(true);
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    //: A button: leave the album's search (finished with it).
    auto* leave = new QPushButton(tr("Done"), this);
    leave->setToolTip(tr("Search as usual, for no album of the library"));
    connect(leave, &QPushButton::clicked, this, &AlbumBanner::leaveRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(buttonFor(saveInto));
    buttons->addWidget(buttonFor(embedInto));
    buttons->addStretch(1);
    buttons->addWidget(leave);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(buttons);
    layout->addWidget(m_outcome);
    m_outcome->hide();
    hide();
}

// A button that is the action: its title (without the menu's access key,
// which the menu bar's own keys would clash with), its state, its doing.
QPushButton* AlbumBanner::buttonFor(QAction* action) {
    auto* button = new QPushButton(this);
    const auto follow = [button, action] {
        button->setText(QString(action->text()).remove(QRegularExpression("&(?!&)")));
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    follow();
    connect(action, &QAction::changed, button, follow);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}

namespace {

// The folder as people read it: below their home, "~/Music/…".
QString shortPath(const QString& path) {
    const QString home = QDir::homePath();
    return path.startsWith(home + QLatin1Char('/')) ? QLatin1Char('~') + path.mid(home.size())
                                                    : path;
}

} // namespace

void AlbumBanner::showAlbum(const std::optional<AlbumFolder>& album) {
    m_outcome->clear();
    m_outcome->hide();
    setVisible(album.has_value());
    if (album) {
        const QString name =
            album->album().isEmpty() ? QDir(album->path).dirName() : album->album();
        m_title->setText(tr("Finding the cover for %1 (%2)")
                             .arg(TextSafety::withoutControlCharacters(name),
                                  TextSafety::withoutControlCharacters(shortPath(album->path))));
    }
}

void AlbumBanner::showOutcome(const QString& text) {
    m_outcome->setText(text);
    m_outcome->setVisible(!text.isEmpty());
}

QString AlbumBanner::outcome() const {
    return m_outcome->text();
}

QString AlbumBanner::title() const {
    return m_title->text();
}
