// The validation window with tens of thousands of findings: the list costs little more than the
// findings themselves, and closing the window gives the memory back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "tests/support/FindingsFile.h"
#include "tests/support/ListMeasures.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"
#include "viewer/validation/ValidationWindow.h"

namespace validationtest {
namespace {

using testsupport::listedFindings;
using testsupport::residentMegabytes;

// Runs the window on File to its "Done"; Listed gets the resident size while every finding is
// listed, Rows the number of rows.
void runWindow(const std::string& file, testsupport::ScriptedInteraction& ui, double& listed,
               int& rows) {
    ValidationWindow form;
    form.setPaths(SIEVRA, QString::fromStdString(file));
    ASSERT_TRUE(form.loadPlugin());
    form.show();
    ui.shown.clear();
    QTest::mouseClick(form.btnValidation, Qt::LeftButton);
    QElapsedTimer clock;
    clock.start();
    while (!ui.shown.contains("message: Done") && clock.elapsed() < 60000) QTest::qWait(10);
    ASSERT_TRUE(ui.shown.contains("message: Done"));
    rows = listedFindings(*form.lvReport->model());
    EXPECT_EQ(static_cast<std::size_t>(rows), form.reportCount());
    form.lvReport->expandAll();  // every group open: the most the list can cost
    form.lvReport->scrollToBottom();
    QTest::qWait(20);
    listed = residentMegabytes();
    QTest::mouseClick(form.btnClose, Qt::LeftButton);
}

TEST(ValidationListMemory, ManyFindingsStayCompactAndGoWithTheWindow) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own bookkeeping and quarantine swamp the figures";
#endif
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    double listed = 0;
    int rows = 0;
    // A small run first, so what any first window costs (fonts, the plug-in) is not counted.
    runWindow(testsupport::makeFindingsFile(dir.file("few.stl"), 10, true), ui, listed, rows);
    // 30,000 blocks with three faults each: about 90,000 findings.
    const std::string file = testsupport::makeFindingsFile(dir.file("many.stl"), 30000, true);
    QApplication::processEvents();
    const double before = residentMegabytes();
    runWindow(file, ui, listed, rows);
    EXPECT_GE(rows, 90000);
    // A widget item per finding took over two kilobytes each.
    EXPECT_LT(listed - before, 60.0) << before << " MB before";
    QApplication::processEvents();
    EXPECT_LT(residentMegabytes() - before, 20.0) << before << " MB before";
}

}  // namespace
}  // namespace validationtest
