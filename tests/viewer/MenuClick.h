#pragma once
// Chooses a menu item the way a user does: the item's menu pops up and the item is clicked.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

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

// Acts on the next modal dialog of type Dialog once it is up (the caller then opens it).
template <class Dialog>
void whenDialogShows(std::function<void(Dialog&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start();
}

}  // namespace viewertest
