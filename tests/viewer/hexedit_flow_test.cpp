// Tools → Hex Edit with the real dialog, driven as a user would: what is asked and shown after
// "Save Changes", and what the window shows afterwards.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "MenuClick.h"
#include "stl/StlTypes.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexEditDialog.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

namespace {

const QString reloadQuestion =
    QStringLiteral("confirm: Do you want to reload the file with the new changes?");
const QString saveQuestion = QStringLiteral(
    "confirm: This action will permanently change the file content. Are you sure you want to "
    "save all changes?");

class HexEditFlowTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
    QTimer watcher;

    void SetUp() override {
        form.show();
        const std::string path =
            testsupport::StlFileBuilder().addBlocks(6).writeTo(dir.file("edit.stl"));
        ASSERT_TRUE(form.loadFile(QString::fromStdString(path)));
    }
    void TearDown() override { form.close(); }

    // Types Keys into the first byte of the dialog once it is open, then clicks "Save Changes".
    void typeAndSaveInDialog(const QString& keys) {
        QObject::disconnect(&watcher, &QTimer::timeout, nullptr, nullptr);
        QObject::connect(&watcher, &QTimer::timeout, [this, keys] {
            auto* dialog = qobject_cast<HexEditDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            watcher.stop();
            // Keys go where a user's would: to the focused widget, once the dialog has focus.
            (void)QTest::qWaitForWindowActive(dialog);
            QTableWidget* grid = dialog->grid();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualItemRect(grid->item(0, 1)).center());
            for (const QChar key : keys) {
                QWidget* focused = QApplication::focusWidget();
                QTest::keyClick(focused && dialog->isAncestorOf(focused) ? focused : grid,
                                key.toLatin1());
            }
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == "Save Changes") QTest::mouseClick(button, Qt::LeftButton);
        });
        watcher.start(20);
    }
    void selectRow(int row) {
        QTest::mouseClick(
            form.m_subtitleList->viewport(), Qt::LeftButton, {},
            form.m_subtitleList->visualRect(form.m_listModel->index(row, 2)).center());
    }
};

}  // namespace

TEST_F(HexEditFlowTest, NothingSavedAsksNoReloadQuestion) {
    selectRow(2);
    // No change: only the dialog's own message.
    typeAndSaveInDialog(QString());
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(ui.shown, QStringList{"message: No changes to be saved."});

    // A change the user then declines to write.
    ui.shown.clear();
    ui.confirmAnswers = {false};
    typeAndSaveInDialog(QStringLiteral("41"));
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(ui.shown, QStringList{saveQuestion});
}

TEST_F(HexEditFlowTest, SavedAndNotReloadedTheHexViewShowsTheDisk) {
    selectRow(2);
    const QString before = form.m_hexText->toPlainText();
    ASSERT_TRUE(before.startsWith("0x0000000000000500   "));
    ui.confirmAnswers = {true, false};  // write, do not reload
    typeAndSaveInDialog(QStringLiteral("C3"));
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(ui.shown, QStringList({saveQuestion, reloadQuestion}));
    EXPECT_TRUE(form.m_hexText->toPlainText().startsWith("0x0000000000000500   C3 "))
        << form.m_hexText->toPlainText().left(40).toStdString();
    EXPECT_EQ(form.selectedRow(), 2);
}

TEST_F(HexEditFlowTest, AFileOpenedAnywayIsReloadedTheSameWay) {
    testsupport::StlFileBuilder odd;
    odd.gsi(gsi::diskFormatCode, "STL24.01").addBlocks(6);
    const QString name = QString::fromStdString(odd.writeTo(dir.file("odd.stl")));
    ui.openAnswers = {name};
    ui.offerAnswers = {true};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_openAction));
    auto* banner = form.findChild<QLabel*>("nonStandardBanner");
    ASSERT_TRUE(banner && banner->isVisibleTo(&form));
    const QString bannerText = banner->text();
    // The banner says what is true: the file is written to when a hex edit is saved.
    EXPECT_FALSE(bannerText.contains("read-only"));
    EXPECT_TRUE(bannerText.contains("hex edit"));
    selectRow(3);
    ui.shown.clear();
    ui.confirmAnswers = {true, true};  // write, reload
    typeAndSaveInDialog(QStringLiteral("41"));
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(ui.shown, QStringList({saveQuestion, reloadQuestion}));
    EXPECT_EQ(form.fileName(), name);
    EXPECT_EQ(form.m_listModel->rowCount(), 6);
    EXPECT_EQ(form.selectedRow(), 3);
    EXPECT_TRUE(banner->isVisibleTo(&form));
    EXPECT_EQ(banner->text(), bannerText);
    EXPECT_TRUE(form.m_hexText->toPlainText().startsWith("0x0000000000000580   41 "))
        << form.m_hexText->toPlainText().left(40).toStdString();
}
