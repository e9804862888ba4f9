#pragma once
// Chooses a menu item the way a user does: the item's menu pops up and the item is clicked.

#include <QAction>
#include <QMenu>
#include <QTest>

namespace viewertest {

inline bool clickMenuItem(QAction* action) {
    QMenu* menu = nullptr;
    for (QObject* owner : action->associatedObjects())
        if ((menu = qobject_cast<QMenu*>(owner))) break;
    if (!menu) return false;
    menu->popup(QPoint(0, 0));
    if (!QTest::qWaitForWindowExposed(menu)) return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    return true;
}

}  // namespace viewertest
