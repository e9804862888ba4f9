#include "SubtitleListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "viewer/GridLineDelegate.h"

SubtitleListView::SubtitleListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A click on a heading sorts; a third click goes back to file order.
    header()->setSortIndicatorClearable(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new GridLineDelegate(this));
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);
}

void SubtitleListView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    emit mouseDown();
}

void SubtitleListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void SubtitleListView::keyReleaseEvent(QKeyEvent* event) {
    QTreeView::keyReleaseEvent(event);
    emit keyUp();
}
