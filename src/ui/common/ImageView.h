#pragma once

#include "imaging/ImageCodec.h"

#include <QImage>
#include <QWidget>

// Shows one picture scaled down to fit, centred, never enlarged. The picture
// is decoded for the pixels the view shows it at: when the view grows (or
// shrinks, or moves to a screen of another pixel ratio), it is decoded again
// from its bytes on a worker, and the new image replaces the old one without a
// blank frame. No full-size decoded picture is kept.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    void setImage(const CoverImage& image);
    void clearImage() { setImage(CoverImage{}); }
    // A small stand-in (a thumbnail) drawn as large as the view allows, until
    // the picture itself arrives.
    void setPreview(const QImage& image);
    bool showsPreview() const { return m_preview; }
    // The image as decoded for the screen.
    QImage image() const { return m_cover.image; }
    QImage screenImage() const { return m_cover.image; }
    bool hasImage() const { return !m_cover.isNull(); }

    // The rectangle the picture occupies in the view (empty without one).
    QRect displayedImageRect() const;
    // The size the picture should be decoded at for the view as it is now.
    QSize wantedImageSize() const;

    QSize sizeHint() const override { return {300, 300}; }

    // A quiet line shown in the middle while there is no picture.
    void setPlaceholderText(const QString& text);

    // The device pixels a picture is decoded for when it arrives.
    QSize decodeBox() const;

Q_SIGNALS:
    void imageChanged();
    // The picture was decoded again for a new size (tests wait on this).
    void imageRedecoded();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void decodeForView();

    CoverImage m_cover;
    QString m_placeholder;
    QSize m_decodedFor;       // the size the image was last decoded for
    bool m_decoding = false;  // a worker is decoding for the view
    bool m_preview = false;   // the image is a stand-in, drawn enlarged
    quint64 m_generation = 0; // bumped with each new picture
};
