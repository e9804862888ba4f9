// The viewer program: one main window; a file named on the command line is opened as File → Open
// would open it.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "mainwindow/MainWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumtrace"));
    MainWindow window;
    window.show();
    QString first;
    for (int i = 1; i < argc; ++i) {
        if (first.isEmpty()) {
            first = QFile::decodeName(argv[i]);
            continue;
        }
        // One file at a time is shown; the others are named so nothing is dropped silently.
        std::fprintf(stderr, "Lumtrace: only the first file is opened; %s is not\n", argv[i]);
    }
    if (!first.isEmpty())
        QTimer::singleShot(0, &window, [&window, first] { window.openNamedFile(first); });
    return QApplication::exec();
}
