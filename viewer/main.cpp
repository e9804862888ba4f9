// The viewer program: one main window; arguments are ignored.

#include <QApplication>

#include "mainwindow/Unit1.h"

int main(int argc, char** argv) {
    QApplication Application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumtrace"));
    TForm1 Form1;
    Form1.show();
    return QApplication::exec();
}
