// The viewer program: one main window; arguments are ignored.

#include <QApplication>

#include "mainwindow/MainWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumtrace"));
    MainWindow form1;
    form1.show();
    return QApplication::exec();
}
