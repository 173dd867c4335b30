#include "ui/search/ListOverlay.h"

#include "ui/common/AccessibleWidgets.h"
#include "ui/common/ActivityIndicator.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

ListOverlay::ListOverlay(QWidget* viewport)
    : QWidget(viewport), m_indicator(new ActivityIndicator(this)), m_text(new QLabel(this)),
      m_tryAgain(new QPushButton(tr("Try Again"), this)) {
    auto* line = new QHBoxLayout;
    line->addStretch(1);
    line->addWidget(m_indicator, 0, Qt::AlignTop);
    line->addWidget(m_text, 0);
    line->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    const int margin = fontMetrics().averageCharWidth() * 2;
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addStretch(1);
    layout->addLayout(line);
    layout->addWidget(m_tryAgain, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_tryAgain, &QPushButton::clicked, this, &ListOverlay::tryAgainRequested);
    viewport->installEventFilter(this);
    setGeometry(viewport->rect());
    hide();
}

void ListOverlay::showText(const QString& text, bool searching, bool failure, bool overRows) {
    m_text->setText(text);
    m_indicator->setVisible(searching);
    if (searching) {
        m_indicator->startAnimatingIndicator();
    } else {
        m_indicator->stopAnimatingIndicator();
    }
    m_tryAgain->setVisible(failure);
    m_dim = overRows;
    // Clicks reach the list, but for Try Again (and for rows a failure left,
    // which are not to be chosen as if they were current).
    setAttribute(Qt::WA_TransparentForMouseEvents, !failure);
    setGeometry(parentWidget()->rect());
    show();
    raise();
    update();
    // The words are drawn over the list's rows, where a screen reader does
    // not look: the list itself says them.
    AccessibleWidgets::announce(list(), text);
}

QWidget* ListOverlay::list() const {
    return parentWidget()->parentWidget() ? parentWidget()->parentWidget() : parentWidget();
}

void ListOverlay::showSearching(bool overRows) {
    showText(tr("Searching…"), true, false, overRows);
}

void ListOverlay::showFailure(const QString& text, bool overRows) {
    showText(text, false, true, overRows);
}

void ListOverlay::showMessage(const QString& text) {
    showText(text, false, false, false);
}

void ListOverlay::clear() {
    m_indicator->stopAnimatingIndicator();
    m_text->clear();
    m_dim = false;
    hide();
    AccessibleWidgets::announce(list(), QString());
}

QString ListOverlay::message() const {
    return !isHidden() && m_indicator->isHidden() ? m_text->text() : QString();
}

bool ListOverlay::isSearching() const {
    return m_indicator->isAnimating();
}

bool ListOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void ListOverlay::paintEvent(QPaintEvent*) {
    if (!m_dim) {
        return;
    }
    QColor wash = palette().color(QPalette::Base);
    wash.setAlpha(215);
    QPainter(this).fillRect(rect(), wash);
}
