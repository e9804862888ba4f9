// Tools → Validation in the main window: no file, no plug-in, and the window opened on the
// loaded file through the plug-in found beside the program.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "MenuClick.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/validation/ValidationWindow.h"

namespace {

class ValidationCommandTest : public ::testing::Test {
protected:
    // Closes whatever modal window opens and remembers its caption.
    void closeNextModalWindow() {
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened << modal->windowTitle();
                modal->close();
            }
        });
        closer.start(20);
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    testsupport::ScriptedInteraction ui;
    QTimer closer;
    QStringList opened;
};

TEST_F(ValidationCommandTest, WithoutAFileSaysSo) {
    MainWindow form;
    form.onValidationTriggered();
    EXPECT_EQ(ui.shown, QStringList{"error: There is no file loaded."});
}

TEST_F(ValidationCommandTest, WithoutThePluginSaysWhy) {
    MainWindow form;  // never shown, so no plug-in was looked for
    const QString file = QString::fromStdString(
        testsupport::StlFileBuilder().addBlocks(2).writeTo(dir.file("a.stl")));
    ASSERT_TRUE(form.loadFile(file));
    ASSERT_TRUE(form.validationModule().empty());
    ui.shown.clear();
    closeNextModalWindow();
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_validationAction));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_TRUE(
        ui.shown[0].startsWith("error: Validation is not available: the validation "
                               "plug-in Sievra.zkx was not found beside the program in\n"))
        << ui.shown[0].toStdString();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(ValidationCommandTest, OpensTheValidationWindowOnTheLoadedFile) {
    MainWindow form;
    form.show();
    ASSERT_FALSE(form.validationModule().empty()) << "Sievra.zkx is built beside the tests";
    const QString file = QString::fromStdString(
        testsupport::StlFileBuilder().addBlocks(2).writeTo(dir.file("b.stl")));
    ASSERT_TRUE(form.loadFile(file));
    ui.shown.clear();
    closeNextModalWindow();
    form.onValidationTriggered();
    EXPECT_EQ(opened, QStringList{"Media Validation - " + file + " [Sievra]"});
    EXPECT_TRUE(ui.shown.isEmpty()) << ui.shown.join(" / ").toStdString();
    EXPECT_EQ(form.fileName(), file);
    form.close();
}

// A file opened anyway is shown by the viewer but refused by the plug-in: the window says why.
TEST_F(ValidationCommandTest, AFileOpenedAnywaySaysWhyItCannotBeValidated) {
    MainWindow form;
    form.show();
    const QString file = QString::fromStdString(
        testsupport::StlFileBuilder().addBlocks(3).announce(5).writeTo(dir.file("short.stl")));
    ui.openAnswers = {file};
    ui.offerAnswers = {true};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_openAction));
    ASSERT_EQ(form.fileName(), file);
    ui.shown.clear();
    int rowsAfterStart = -1;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* window = qobject_cast<ValidationWindow*>(QApplication::activeModalWidget());
        if (!window) return;
        closer.stop();
        QTest::mouseClick(window->btnValidation, Qt::LeftButton);
        rowsAfterStart = static_cast<int>(window->reportCount());
        window->close();
    });
    closer.start(20);
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_validationAction));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0],
              "message: Cannot validate file.\n\nThe validation plug-in refuses it: Invalid STL "
              "file size and Text And Timing Information records count.\n\nThe header "
              "announces 5 text blocks, the file holds 3.");
    EXPECT_EQ(rowsAfterStart, 0);
    form.close();
}

// A double-click on a finding about a block selects that block in the main window's list.
TEST_F(ValidationCommandTest, DoubleClickOnAFindingSelectsItsBlock) {
    MainWindow form;
    form.show();
    testsupport::StlFileBuilder builder;
    builder.addBlocks(4).blockBytes(2, tti::cumulativeStatus.offset, {5});
    ASSERT_TRUE(form.loadFile(QString::fromStdString(builder.writeTo(dir.file("one.stl")))));
    form.selectRow(0);
    QString clicked;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* window = qobject_cast<ValidationWindow*>(QApplication::activeModalWidget());
        if (!window) return;
        closer.stop();
        QTest::mouseClick(window->btnValidation, Qt::LeftButton);
        for (int i = 0; i < 500 && window->isRunning(); ++i) QTest::qWait(10);
        QAbstractItemModel* model = window->lvReport->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                if (!index.data().toString().contains(QStringLiteral("TTI # 2 -"))) continue;
                clicked = index.data().toString();
                window->lvReport->scrollTo(index);
                QTest::qWait(50);  // the rows the run added are laid out
                const QPoint at = window->lvReport->visualRect(index).center();
                QTest::mouseClick(window->lvReport->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(window->lvReport->viewport(), Qt::LeftButton, {}, at);
                row = model->rowCount();
                break;
            }
        }
        window->close();
    });
    closer.start(20);
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_validationAction));
    ASSERT_FALSE(clicked.isEmpty());
    EXPECT_EQ(form.selectedRow(), 2) << clicked.toStdString();
    form.close();
}

}  // namespace
