// The validation window with a run that finds something in every block: 99,999 blocks, 334,461
// findings through the real Sievra.zkx. Prints the resident memory before the window opens, while
// the list shows every finding, with every group of findings open and after the window has
// closed, and the time from Start (load and play) to the fully shown list.

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTreeView>
#include <cstdio>
#include <filesystem>

#include "tests/support/FindingsFile.h"
#include "tests/support/ListMeasures.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/validation/ValidationWindow.h"

using testsupport::listedFindings;
using testsupport::residentMegabytes;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testsupport::ScopedConfigHome config;  // the rule defaults, never the user's own settings
    testsupport::TempDir dir;
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 99999;
    QApplication app(argc, argv);
    const std::string plugin =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Sievra.zkx").string();
    const std::string file = testsupport::makeFindingsFile(dir.file("findings.stl"), blocks, true);
    testsupport::ScriptedInteraction ui;  // "Done" is recorded, not shown
    QApplication::processEvents();
    const double before = residentMegabytes();

    double shownMs = 0, listMs = 0, whileShown = 0, openMs = 0, whileOpen = 0;
    int rows = 0;
    {
        ValidationWindow form;
        form.setPaths(plugin, QString::fromStdString(file));
        if (!form.loadPlugin()) {
            std::fprintf(stderr, "cannot load %s\n", plugin.c_str());
            return 2;
        }
        form.show();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        form.btnValidation->click();
        while (!ui.shown.contains("message: Done")) {
            if (timer.elapsed() > 120000) {
                std::fprintf(stderr, "no \"Done\" after two minutes\n");
                return 2;
            }
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        form.lvReport->viewport()->repaint();
        shownMs = double(timer.nsecsElapsed()) / 1e6;
        // The list alone, without the run and the poll that ends it.
        QElapsedTimer listing;
        listing.start();
        form.visualizeReports();
        form.lvReport->viewport()->repaint();
        listMs = double(listing.nsecsElapsed()) / 1e6;
        rows = listedFindings(*form.lvReport->model());
        form.lvReport->scrollToBottom();
        form.lvReport->viewport()->repaint();
        whileShown = residentMegabytes();
        // Every group open: the most the list can cost.
        QElapsedTimer opening;
        opening.start();
        form.lvReport->expandAll();
        form.lvReport->scrollToBottom();
        form.lvReport->viewport()->repaint();
        openMs = double(opening.nsecsElapsed()) / 1e6;
        whileOpen = residentMegabytes();
        form.accept();
    }
    QApplication::processEvents();
    const double after = residentMegabytes();

    std::printf("validation window, %d blocks, %d findings listed\n", blocks, rows);
    std::printf("resident before the window   %8.1f MB\n", before);
    std::printf("resident while listed        %8.1f MB\n", whileShown);
    std::printf("resident, every group open   %8.1f MB\n", whileOpen);
    std::printf("resident after closing       %8.1f MB\n", after);
    std::printf("Start to fully shown list    %8.1f ms\n", shownMs);
    std::printf("listing the findings         %8.1f ms\n", listMs);
    std::printf("opening every group          %8.1f ms\n", openMs);
    return 0;
}
