#include "DraggableImageView.h"

#include "CoverSelection.h"
#include "DefaultsHelper.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ShareMenu.h"
#include "UserDefaults.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

struct CoverMenuItem {
    const char* title;
    QKeySequence shortcut;
};

const CoverMenuItem kCoverItems[] = {
    {"Save Cover As…", QKeySequence(Qt::CTRL | Qt::Key_S)},
    {"Save Cover to “Downloads”", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
    {"View Cover in Browser", {}},
    {"View Cover Listing in iTunes", {}},
    {"Copy Cover Image to Clipboard", {}},
    {"Copy Cover URL to Clipboard", {}},
    {"Copy Cover Title to Clipboard", {}},
};

QUrl temporaryFileUrl() {
    return UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
}

} // namespace

DraggableImageView::DraggableImageView(QWidget* parent) : ImageView(parent) {
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

bool DraggableImageView::passesDragThreshold(const QPointF& press, const QPointF& position) {
    const QPointF delta = position - press;
    return std::hypot(delta.x(), delta.y()) >= kDragThreshold;
}

void DraggableImageView::paintEvent(QPaintEvent* event) {
    ImageView::paintEvent(event);
    m_drawnRect = hasImage() ? displayedImageRect() : QRect();
}

QImage DraggableImageView::thumbnail() const {
    if (!hasImage() || m_drawnRect.isEmpty()) {
        return {};
    }
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(m_drawnRect.size()) * ratio).toSize();
    QImage drawn = screenImage();
    if (drawn.size() != deviceSize) {
        drawn = drawn.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    drawn.setDevicePixelRatio(ratio);
    return drawn;
}

void DraggableImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressPosition = event->position();
        ++m_pressSerial;
    }
    event->accept();
}

void DraggableImageView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressPosition || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (!passesDragThreshold(*m_pressPosition, event->position())) {
        return;
    }
    const quint64 press = m_pressSerial;
    QTimer::singleShot(0, this, [this, press] {
        // One drag per press, however many moves passed the threshold.
        if (press != m_pressSerial || press == m_draggedPress) {
            return;
        }
        m_draggedPress = press;
        startDrag();
    });
}

void DraggableImageView::startDrag() {
    const QImage dragImage = thumbnail();
    if (dragImage.isNull()) {
        return;
    }
    const QUrl file = temporaryFileUrl();
    if (file.isEmpty()) {
        return;
    }
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData();
    mime->setUrls({file});
    drag->setMimeData(mime);
    drag->setPixmap(QPixmap::fromImage(dragImage));
    const QRect shown = displayedImageRect();
    if (m_pressPosition) {
        drag->setHotSpot(m_pressPosition->toPoint() - shown.topLeft());
    }
    Q_EMIT dragStarted(file);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

QMenu* DraggableImageView::buildContextMenu() {
    const QUrl file = temporaryFileUrl();
    if (file.isEmpty()) {
        return nullptr;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QList<QAction*> items;
    for (qint64 tag = 0; tag < qint64(std::size(kCoverItems)); ++tag) {
        auto* action = new QAction(QString::fromUtf8(kCoverItems[tag].title), menu);
        action->setShortcut(kCoverItems[tag].shortcut);
        action->setData(tag);
        connect(action, &QAction::triggered, this, [tag] {
            NotificationCenter::defaultCenter().post(
                NotificationNames::coverActionHelper,
                {{NotificationNames::selectedCoverActionKey, QVariant::fromValue<qint64>(tag)}});
        });
        items.append(action);
    }
    // The two save items, the two view items, the three copy items, each group
    // followed by a separator.
    menu->addActions(items.mid(0, 2));
    menu->addSeparator();
    menu->addActions(items.mid(2, 2));
    menu->addSeparator();
    menu->addActions(items.mid(4, 3));
    menu->addSeparator();

    QMenu* share = menu->addMenu(QStringLiteral("Share"));
    ShareMenu::addServices(share, file);
    return menu;
}

void DraggableImageView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    QMenu* menu = buildContextMenu();
    if (!menu) {
        return;
    }
    const QPoint where = event->globalPos();
    QTimer::singleShot(0, menu, [menu, where] { menu->popup(where); });
}
