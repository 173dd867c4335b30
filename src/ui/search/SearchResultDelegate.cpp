#include "SearchResultDelegate.h"

#include "ActivityIndicator.h"
#include "AlbumObjectListModel.h"
#include "DefaultsHelper.h"
#include "ImageGeometry.h"
#include "ThumbnailLoader.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

// The record's title as one text: the collection's line feed becomes a line
// separator, so the layout breaks there without starting a new paragraph.
QString titleText(const QString& collectionName, const QString& artistName, int* collectionLength) {
    QString collection = collectionName;
    if (collection.endsWith(QLatin1Char('\n'))) {
        collection.chop(1);
        collection.append(QChar::LineSeparator);
    }
    collection.replace(QLatin1Char('\n'), QChar::LineSeparator);
    *collectionLength = int(collection.size());
    return collection + artistName;
}

struct PreparedLayout {
    std::unique_ptr<QTextLayout> layout;
    int lineCount = 0;
    qreal height = 0;
    bool truncated = false;
};

PreparedLayout prepare(const QString& collectionName, const QString& artistName, qreal width) {
    int collectionLength = 0;
    const QString text = titleText(collectionName, artistName, &collectionLength);
    PreparedLayout prepared;
    prepared.layout =
        std::make_unique<QTextLayout>(text, SearchResultDelegate::titleFont(FontWeight::Thin));
    QTextCharFormat semibold;
    semibold.setFont(SearchResultDelegate::titleFont(FontWeight::Semibold));
    QTextCharFormat thin;
    thin.setFont(SearchResultDelegate::titleFont(FontWeight::Thin));
    prepared.layout->setFormats({{0, collectionLength, semibold},
                                 {collectionLength, int(text.size()) - collectionLength, thin}});
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    prepared.layout->setTextOption(option);
    prepared.layout->beginLayout();
    qreal y = 0;
    while (true) {
        QTextLine line = prepared.layout->createLine();
        if (!line.isValid()) {
            break;
        }
        if (prepared.lineCount == SearchResultDelegate::kMaximumTitleLines) {
            prepared.truncated = true;
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
        ++prepared.lineCount;
    }
    prepared.layout->endLayout();
    prepared.height = y;
    return prepared;
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

SearchResultDelegate::SearchResultDelegate(ThumbnailLoader* thumbnails, QObject* parent)
    : QStyledItemDelegate(parent), m_thumbnails(thumbnails) {}

int SearchResultDelegate::rowHeightForMedia(const QString& mediaTitle) {
    static const QStringList tall{QStringLiteral("eBooks"), QStringLiteral("Movies"),
                                  QStringLiteral("Short Films")};
    return tall.contains(mediaTitle) ? 151 : 101;
}

int SearchResultDelegate::rowHeight() {
    return rowHeightForMedia(DefaultsHelper::storedMedia());
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
    case FontWeight::Bold:
        font.setWeight(QFont::Bold);
        break;
    case FontWeight::Regular:
        font.setWeight(QFont::Normal);
        break;
    }
    return font;
}

QRectF SearchResultDelegate::centredTitleRect(const QRectF& base, qreal naturalHeight) {
    return QRectF(base.x(), base.y() + (base.height() - naturalHeight) / 2.0, base.width(),
                  naturalHeight);
}

SearchResultDelegate::TitleLayout SearchResultDelegate::layoutTitle(const QString& collectionName,
                                                                    const QString& artistName,
                                                                    qreal width) {
    const PreparedLayout prepared = prepare(collectionName, artistName, width);
    TitleLayout result;
    result.height = prepared.height;
    result.truncated = prepared.truncated;
    const QString text = prepared.layout->text();
    for (int i = 0; i < prepared.lineCount; ++i) {
        const QTextLine line = prepared.layout->lineAt(i);
        QString part = text.mid(line.textStart(), line.textLength());
        part.remove(QChar::LineSeparator);
        result.lines.append(part.trimmed());
    }
    return result;
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
    const int side = rect.height() - 2 * kMargin;
    const QRect box(rect.left() + kMargin, rect.top() + kMargin, side, side);

    const QUrl url(index.data(AlbumObjectListModel::ThumbnailUrlRole).toString(), QUrl::StrictMode);
    if (url.isValid() && !url.isRelative() && m_thumbnails) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const ThumbnailLoader::Entry* entry =
            m_thumbnails->ensureRequested(index.row(), url, (QSizeF(box.size()) * ratio).toSize());
        if (entry && !entry->image.isNull()) {
            const QRect shown =
                ImageGeometry::displayedImageRect(QSizeF(box.size()), QSizeF(entry->image.size()))
                    .translated(box.topLeft());
            const QImage image =
                m_thumbnails->scaledImage(index.row(), (QSizeF(shown.size()) * ratio).toSize());
            painter->drawImage(shown, image);
        } else if (entry && entry->failed) {
            paintPlaceholder(*painter, box, option.palette.color(QPalette::Mid));
        } else if (entry && entry->loading) {
            const QColor color = option.palette.color((option.state & QStyle::State_Selected)
                                                          ? QPalette::HighlightedText
                                                          : QPalette::WindowText);
            const QRectF spinner(QPointF(0, 0), QSizeF(20, 20));
            ActivityIndicator::paintSpinner(*painter,
                                            spinner.translated(box.center() - spinner.center()),
                                            m_thumbnails->spinnerStep(), color);
        }
    }

    const qreal textLeft = box.right() + 1 + 2 * kMargin;
    const QRectF textBase(textLeft, rect.top() + kMargin, rect.right() - kMargin - textLeft,
                          rect.height() - 2 * kMargin);
    if (textBase.width() <= 0) {
        return;
    }
    const PreparedLayout prepared =
        prepare(index.data(AlbumObjectListModel::CollectionNameRole).toString(),
                index.data(AlbumObjectListModel::ArtistNameRole).toString(), textBase.width());
    const QRectF textRect = centredTitleRect(textBase, prepared.height);
    painter->save();
    painter->setClipRect(rect);
    painter->setPen(option.palette.color(
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    for (int i = 0; i < prepared.lineCount; ++i) {
        prepared.layout->lineAt(i).draw(painter, textRect.topLeft());
    }
    painter->restore();
}
