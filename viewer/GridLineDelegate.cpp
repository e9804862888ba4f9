#include "GridLineDelegate.h"

#include <QPainter>

void TGridLineDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                              const QModelIndex& Index) const {
    QStyledItemDelegate::paint(Painter, Option, Index);
    Painter->save();
    Painter->setPen(Option.palette.color(QPalette::Midlight));
    const QRect cell = Option.rect;
    Painter->drawLine(cell.topRight(), cell.bottomRight());
    Painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    Painter->restore();
}
