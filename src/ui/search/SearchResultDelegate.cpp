#include "ui/search/SearchResultDelegate.h"

#include "imaging/ImageGeometry.h"
#include "settings/Settings.h"
#include "ui/common/ActivityIndicator.h"
#include "ui/search/ResultListModel.h"
#include "ui/search/ThumbnailLoader.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The collection's lines wrapped in `width`, at most `maxLines`, the last one
// ending in "…" when the name goes on.
QStringList wrapped(const QString& text, const QFont& font, qreal width, int maxLines,
                    bool* truncated) {
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            // The rest of the name on the last line, elided if it is too long.
            const QString rest = text.mid(line.textStart());
            const QString elided = QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width);
            *truncated |= elided != rest;
            lines.append(elided);
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    if (lines.isEmpty()) {
        lines.append(QString());
    }
    return lines;
}

struct PreparedTitle {
    QStringList collection; // semibold lines
    QString artist;         // the thin line below, always shown
    qreal height = 0;
    bool truncated = false;
};

PreparedTitle prepare(const QString& collectionName, const QString& artistName, qreal width) {
    const QFont semibold = SearchResultDelegate::titleFont(FontWeight::Semibold);
    const QFont thin = SearchResultDelegate::titleFont(FontWeight::Thin);
    QString collection = collectionName;
    collection.replace(QLatin1Char('\n'), QLatin1Char(' '));
    PreparedTitle title;
    // The artist keeps the last of the lines: the collection wraps into the others.
    title.collection = wrapped(collection, semibold, width,
                               SearchResultDelegate::kMaximumTitleLines - 1, &title.truncated);
    title.artist = QFontMetricsF(thin).elidedText(artistName, Qt::ElideRight, width);
    title.truncated |= title.artist != artistName;
    title.height = title.collection.size() * QFontMetricsF(semibold).lineSpacing() +
                   QFontMetricsF(thin).lineSpacing();
    return title;
}

// A neutral picture glyph where a thumbnail could not be had: a frame with a
// hill and a sun, no text.
void paintPlaceholder(QPainter& painter, const QRect& box, const QColor& color) {
    const qreal side = box.width() * 0.5;
    const QRectF frame(box.center().x() - side / 2, box.center().y() - side * 0.4, side,
                       side * 0.8);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, 4, 4);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(frame.right() - side * 0.25, frame.top() + side * 0.22),
                        side * 0.08, side * 0.08);
    const QPointF hill[] = {{frame.left() + side * 0.12, frame.bottom() - side * 0.1},
                            {frame.left() + side * 0.4, frame.top() + side * 0.35},
                            {frame.left() + side * 0.62, frame.bottom() - side * 0.1}};
    painter.drawPolygon(hill, 3);
    painter.restore();
}

} // namespace

SearchResultDelegate::SearchResultDelegate(ThumbnailLoader* thumbnails, const Settings& settings,
                                           QObject* parent)
    : QStyledItemDelegate(parent), m_thumbnails(thumbnails), m_settings(settings) {}

int SearchResultDelegate::rowHeightForMedia(const QString& mediaTitle) {
    static const QStringList tall{QStringLiteral("eBooks"), QStringLiteral("Movies"),
                                  QStringLiteral("Short Films")};
    return tall.contains(mediaTitle) ? 151 : 101;
}

int SearchResultDelegate::rowHeight() const {
    return rowHeightForMedia(m_settings.value(Settings::media));
}

QFont SearchResultDelegate::titleFont(FontWeight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(13);
    switch (weight) {
    case FontWeight::Thin:
        font.setWeight(QFont::Light);
        break;
    case FontWeight::Semibold:
        font.setWeight(QFont::DemiBold);
        break;
    }
    return font;
}

QRect SearchResultDelegate::thumbnailBox(const QRect& row, const QSize& image, bool posters) {
    const int side = row.height() - 2 * kMargin;
    double aspect = 1.0;
    if (posters) {
        aspect = image.isEmpty() ? 2.0 / 3.0
                                 : std::clamp(double(image.width()) / image.height(), 0.5, 1.0);
    }
    const int width = int(std::ceil(side * aspect));
    return QRect(row.left() + kMargin, row.top() + kMargin, width, side);
}

QRectF SearchResultDelegate::centredTitleRect(const QRectF& base, qreal naturalHeight) {
    return QRectF(base.x(), base.y() + (base.height() - naturalHeight) / 2.0, base.width(),
                  naturalHeight);
}

SearchResultDelegate::TitleLayout SearchResultDelegate::layoutTitle(const QString& collectionName,
                                                                    const QString& artistName,
                                                                    qreal width) {
    const PreparedTitle prepared = prepare(collectionName, artistName, width);
    return TitleLayout{prepared.collection + QStringList{prepared.artist}, prepared.height,
                       prepared.truncated};
}

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), rowHeight());
}

void SearchResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect rect = option.rect;
    // Laid out left to right, and mirrored for a right-to-left language.
    const bool mirror = option.direction == Qt::RightToLeft;
    const auto placed = [&](const QRect& box) {
        return QStyle::visualRect(option.direction, rect, box);
    };
    const bool posters = rect.height() > rowHeightForMedia(QStringLiteral("Music"));
    QRect box = thumbnailBox(rect, QSize(), posters);

    const QUrl url(index.data(ResultListModel::ThumbnailUrlRole).toString(), QUrl::StrictMode);
    if (url.isValid() && !url.isRelative() && m_thumbnails) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const int side = box.height();
        const ThumbnailLoader::Entry* entry =
            m_thumbnails->requestThumbnail(index.row(), url, (QSizeF(side, side) * ratio).toSize());
        if (entry && !entry->image.isNull()) {
            box = thumbnailBox(rect, entry->image.size(), posters);
            const QRect shown =
                ImageGeometry::displayedImageRect(QSizeF(box.size()), QSizeF(entry->image.size()))
                    .translated(box.topLeft());
            const QImage image =
                m_thumbnails->scaledImage(index.row(), (QSizeF(shown.size()) * ratio).toSize());
            painter->drawImage(placed(shown), image);
        } else if (entry && entry->failed) {
            paintPlaceholder(*painter, placed(box), option.palette.color(QPalette::Mid));
        } else if (entry && entry->loading) {
            const QColor color = option.palette.color((option.state & QStyle::State_Selected)
                                                          ? QPalette::HighlightedText
                                                          : QPalette::WindowText);
            const QRectF spinner(QPointF(0, 0), QSizeF(20, 20));
            ActivityIndicator::paintSpinner(
                *painter, spinner.translated(placed(box).center() - spinner.center()),
                m_thumbnails->spinnerStep(), color);
        }
    }

    const qreal textLeft = box.right() + 1 + 2 * kMargin;
    const QRectF textBase(textLeft, rect.top() + kMargin, rect.right() - kMargin - textLeft,
                          rect.height() - 2 * kMargin);
    if (textBase.width() <= 0) {
        return;
    }
    const PreparedTitle prepared =
        prepare(index.data(ResultListModel::CollectionNameRole).toString(),
                index.data(ResultListModel::ArtistNameRole).toString(), textBase.width());
    const QRectF textRect = centredTitleRect(textBase, prepared.height);
    painter->save();
    painter->setClipRect(rect);
    painter->setPen(option.palette.color(
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    const qreal left = mirror ? rect.left() + rect.right() + 1 - textRect.right() : textRect.left();
    // Leading: the painter of a right-to-left list aligns it to the right.
    const int align = Qt::AlignLeading | Qt::AlignTop | Qt::TextSingleLine;
    qreal y = textRect.top();
    const auto drawLine = [&](const QString& line, const QFont& font) {
        painter->setFont(font);
        const qreal height = QFontMetricsF(font).lineSpacing();
        painter->drawText(QRectF(left, y, textRect.width(), height), align, line);
        y += height;
    };
    const QFont semibold = titleFont(FontWeight::Semibold);
    for (const QString& line : prepared.collection) {
        drawLine(line, semibold);
    }
    drawLine(prepared.artist, titleFont(FontWeight::Thin));
    painter->restore();
}
