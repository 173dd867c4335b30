#pragma once

#include "ImageService.h"

#include <QImage>
#include <QWidget>

// Shows one image scaled down to fit, centred, never enlarged. Large images are
// scaled for the screen on a worker thread; until that copy is ready the view
// draws the original with smooth filtering.
class ImageView : public QWidget, public ImageViewContract {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    void setImage(const CoverImage& image);
    void clearImage() { setImage(CoverImage{}); }
    const CoverImage& coverImage() const { return m_cover; }
    QImage image() const { return m_cover.image; }
    bool hasImage() const { return !m_cover.isNull(); }

    // The image as the screen gets it: the scaled copy when one is ready for
    // the current size, else the original.
    QImage screenImage() const;

    // The rectangle the image occupies in the view (empty without an image).
    QRect displayedImageRect() const;

    QSize sizeHint() const override { return {300, 300}; }

    // ImageViewContract
    QObject* imageViewObject() override { return this; }
    void setLoadedImage(const CoverImage& image) override { setImage(image); }

Q_SIGNALS:
    void imageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void scheduleScaling(const QSize& deviceSize);

    CoverImage m_cover;
    QImage m_scaled; // m_cover.image at m_scaledFor device pixels
    QSize m_scaledFor;
    QSize m_scalingFor;       // the size a worker is scaling to now
    quint64 m_generation = 0; // bumped with each new image
};
