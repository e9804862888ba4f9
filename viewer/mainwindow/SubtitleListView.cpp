#include "SubtitleListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Draws the cell, then its right and bottom edge, so the list shows grid lines.
class TGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override {
        QStyledItemDelegate::paint(Painter, Option, Index);
        Painter->save();
        Painter->setPen(Option.palette.color(QPalette::Midlight));
        const QRect R = Option.rect;
        Painter->drawLine(R.topRight(), R.bottomRight());
        Painter->drawLine(R.bottomLeft(), R.bottomRight());
        Painter->restore();
    }
};

}  // namespace

TSubtitleListView::TSubtitleListView(QWidget* Parent) : QTreeView(Parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new TGridDelegate(this));
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);
}

void TSubtitleListView::mousePressEvent(QMouseEvent* Event) {
    QTreeView::mousePressEvent(Event);
    emit MouseDown();
}

void TSubtitleListView::keyReleaseEvent(QKeyEvent* Event) {
    QTreeView::keyReleaseEvent(Event);
    emit KeyUp();
}
