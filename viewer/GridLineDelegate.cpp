#include "GridLineDelegate.h"

#include <QPainter>
#include <algorithm>

QSize GridLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    // The font's full height (ascent and descent) plus the grid line below it.
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), QFontMetrics(option.font).height()) + 1);
    return size;
}

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    // The cell's content keeps clear of the lines, so descenders are never drawn over.
    QStyleOptionViewItem content(option);
    content.rect.adjust(0, 0, -1, -1);
    QStyledItemDelegate::paint(painter, content, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
}
