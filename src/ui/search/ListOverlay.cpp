#include "ui/search/ListOverlay.h"

#include "ui/common/ActivityIndicator.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

ListOverlay::ListOverlay(QWidget* viewport)
    : QWidget(viewport), m_indicator(new ActivityIndicator(this)), m_text(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_indicator, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Clicks on the empty list still reach it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    viewport->installEventFilter(this);
    hide();
}

void ListOverlay::showSearching() {
    m_text->setText(tr("Searching…"));
    m_indicator->show();
    m_indicator->startAnimatingIndicator();
    place();
    show();
}

void ListOverlay::showMessage(const QString& text) {
    m_indicator->stopAnimatingIndicator();
    m_indicator->hide();
    m_text->setText(text);
    place();
    show();
}

void ListOverlay::clear() {
    m_indicator->stopAnimatingIndicator();
    m_text->clear();
    hide();
}

QString ListOverlay::message() const {
    return !isHidden() && m_indicator->isHidden() ? m_text->text() : QString();
}

bool ListOverlay::isSearching() const {
    return m_indicator->isAnimating();
}

bool ListOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        place();
    }
    return QWidget::eventFilter(watched, event);
}

// In the middle of the list's width, a third down; a message wraps to the
// list's width rather than running out of it.
void ListOverlay::place() {
    const QWidget* viewport = parentWidget();
    const int margin = fontMetrics().averageCharWidth() * 2;
    const int room = std::max(viewport->width() - 2 * margin, 80);
    const int natural = layout()->sizeHint().width();
    const int width = std::min(natural, room);
    resize(width,
           layout()->hasHeightForWidth() ? layout()->heightForWidth(width) : sizeHint().height());
    move((viewport->width() - width) / 2, viewport->height() / 3);
}
