#include "WheelToKeyFilter.h"

#include <QAbstractScrollArea>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QWheelEvent>

WheelToKeyFilter::WheelToKeyFilter(QObject* parent) : QObject(parent) {}

int WheelToKeyFilter::keyForWheel(int delta, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (delta > 0) return ctrl ? Qt::Key_PageUp : Qt::Key_Up;
    return ctrl ? Qt::Key_PageDown : Qt::Key_Down;
}

QWidget* WheelToKeyFilter::keyTarget(QObject* receiver) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget) return nullptr;
    QWidget* window = widget->window();
    if (qobject_cast<QFileDialog*>(window) || qobject_cast<QFontDialog*>(window) ||
        qobject_cast<QColorDialog*>(window) || qobject_cast<QMessageBox*>(window) ||
        qobject_cast<QMenu*>(window))
        return nullptr;
    // Wheel events reach the viewport of a list or memo; keys are handled by the area itself.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget->parentWidget()))
        if (area->viewport() == widget) return area;
    return widget;
}

bool WheelToKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    // Horizontal steps and the zero-length begin/end events of touchpads are left alone.
    const int delta = wheel->angleDelta().y();
    if (delta == 0) return false;
    QWidget* target = keyTarget(watched);
    if (!target) return false;
    // Ctrl only chooses the page keys; a list would read Ctrl+key as "move without selecting".
    QKeyEvent key(QEvent::KeyPress, keyForWheel(delta, wheel->modifiers()),
                  wheel->modifiers() & ~Qt::ControlModifier);
    QCoreApplication::sendEvent(target, &key);
    return true;
}
