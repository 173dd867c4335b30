#pragma once

#include "ui/common/ImageView.h"

#include <QPoint>
#include <QUrl>

#include <optional>

// The cover image: draws the cover, and can be dragged out of the window as
// the cover's file; a secondary click asks for the cover's context menu.
// Without a file neither happens.
class DraggableImageView : public ImageView {
    Q_OBJECT
public:
    // Distance, in points, the pointer must travel before a press becomes a drag.
    static constexpr double kDragThreshold = 3.0;

    explicit DraggableImageView(QWidget* parent = nullptr);

    // The file a drag hands out: the temporary cover file of the shown cover.
    void setCoverFile(const QUrl& file) { m_file = file; }
    QUrl coverFile() const { return m_file; }

    // The image as last drawn at its displayed size: the drag image. Made when
    // asked for, so a repaint never scales a large cover on the GUI thread.
    QImage thumbnail() const;

    // True when a move from the press to `position` starts a drag.
    static bool passesDragThreshold(const QPointF& press, const QPointF& position);

Q_SIGNALS:
    // A drag session began (tests watch this; the drag itself runs modally).
    void dragStarted(const QUrl& fileUrl);
    // A secondary click on the cover while it has a file.
    void contextMenuWanted(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void startDrag();

    QUrl m_file;
    QRect m_drawnRect; // where the image was last drawn; empty without one
    std::optional<QPointF> m_pressPosition;
    quint64 m_pressSerial = 0;
    quint64 m_draggedPress = 0; // the press whose drag started last
};
