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

TWheelToKeyFilter::TWheelToKeyFilter(QObject* Parent) : QObject(Parent) {}

int TWheelToKeyFilter::KeyForWheel(int Delta, Qt::KeyboardModifiers Modifiers) {
    const bool Ctrl = Modifiers.testFlag(Qt::ControlModifier);
    if (Delta > 0) return Ctrl ? Qt::Key_PageUp : Qt::Key_Up;
    return Ctrl ? Qt::Key_PageDown : Qt::Key_Down;
}

QWidget* TWheelToKeyFilter::KeyTarget(QObject* Receiver) {
    auto* Widget = qobject_cast<QWidget*>(Receiver);
    if (!Widget) return nullptr;
    QWidget* Window = Widget->window();
    if (qobject_cast<QFileDialog*>(Window) || qobject_cast<QFontDialog*>(Window) ||
        qobject_cast<QColorDialog*>(Window) || qobject_cast<QMessageBox*>(Window) ||
        qobject_cast<QMenu*>(Window))
        return nullptr;
    // Wheel events reach the viewport of a list or memo; keys are handled by the area itself.
    if (auto* Area = qobject_cast<QAbstractScrollArea*>(Widget->parentWidget()))
        if (Area->viewport() == Widget) return Area;
    return Widget;
}

bool TWheelToKeyFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() != QEvent::Wheel) return false;
    auto* Wheel = static_cast<QWheelEvent*>(Event);
    // Horizontal steps and the zero-length begin/end events of touchpads are left alone.
    const int Delta = Wheel->angleDelta().y();
    if (Delta == 0) return false;
    QWidget* Target = KeyTarget(Watched);
    if (!Target) return false;
    // Ctrl only chooses the page keys; a list would read Ctrl+key as "move without selecting".
    QKeyEvent Key(QEvent::KeyPress, KeyForWheel(Delta, Wheel->modifiers()),
                  Wheel->modifiers() & ~Qt::ControlModifier);
    QCoreApplication::sendEvent(Target, &Key);
    return true;
}
