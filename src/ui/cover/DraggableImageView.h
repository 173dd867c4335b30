#pragma once

#include "ImageView.h"

#include <QPoint>

#include <optional>

class QMenu;

// The cover image: draws the cover, can be dragged out of the window as the
// temporary cover file, and offers the cover actions and the "Share" submenu on
// a secondary click. Without a temporary cover file neither happens.
class DraggableImageView : public ImageView {
    Q_OBJECT
public:
    // Distance, in points, the pointer must travel before a press becomes a drag.
    static constexpr double kDragThreshold = 3.0;

    explicit DraggableImageView(QWidget* parent = nullptr);

    std::optional<QString> artistName;
    std::optional<QString> collectionName;

    // The image as last drawn at its displayed size: the drag image. Made when
    // asked for, so a repaint never scales a large cover on the GUI thread.
    QImage thumbnail() const;

    // The context menu for the current temporary file; nullptr without one.
    QMenu* buildContextMenu();
    // True when a move from the press to `position` starts a drag.
    static bool passesDragThreshold(const QPointF& press, const QPointF& position);

Q_SIGNALS:
    // A drag session began (tests watch this; the drag itself runs modally).
    void dragStarted(const QUrl& fileUrl);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void startDrag();

    QRect m_drawnRect; // where the image was last drawn; empty without one
    std::optional<QPointF> m_pressPosition;
    quint64 m_pressSerial = 0;
    quint64 m_draggedPress = 0; // the press whose drag started last
};
