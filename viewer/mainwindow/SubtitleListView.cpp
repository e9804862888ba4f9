#include "SubtitleListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "viewer/GridLineDelegate.h"

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
    setItemDelegate(new TGridLineDelegate(this));
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
