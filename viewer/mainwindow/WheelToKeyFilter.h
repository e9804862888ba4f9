#pragma once
// Application-wide: a vertical mouse-wheel step over one of the program's own windows becomes a
// key press (Up/Down, Page Up/Page Down with Ctrl) for the same widget, so the wheel moves the
// selection of lists and the page of the hex view the way the keys do. Standard dialogs (file,
// font, message boxes) and menus keep their own wheel handling.

#include <QObject>

class QWheelEvent;
class QWidget;

class WheelToKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit WheelToKeyFilter(QObject* parent = nullptr);

    // Key the wheel step stands for: Up for a step away from the user, Down otherwise; the page
    // keys while Ctrl is held.
    static int keyForWheel(int delta, Qt::KeyboardModifiers modifiers);
    // Widget that receives the key for a wheel event delivered to Receiver; nullptr when the
    // event is left alone.
    static QWidget* keyTarget(QObject* receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
