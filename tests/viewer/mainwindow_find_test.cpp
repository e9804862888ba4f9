// Edit > Find and Go To driven from the keyboard: the find bar over the subtitles' text as read,
// F3 and Shift+F3 through the matches with the count and the wrap, and the Go To dialog's three
// ways of naming a place with the message when there is none.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "MenuClick.h"
#include "SubtitleFixture.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/FindBar.h"
#include "viewer/mainwindow/GoToDialog.h"
#include "viewer/mainwindow/MainWindow.h"

namespace {

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_TRUE(form.loadFile(
            QString::fromStdString(viewertest::writeSubtitleFixture(dir.file("f.stl")))));
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
};

TEST_F(FindTest, F3WalksTheMatchesAndWraps) {
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    FindBar& bar = *form.m_findBar;
    ASSERT_TRUE(bar.isVisible());
    ASSERT_TRUE(bar.edit()->hasFocus());
    // The user data block says "cafe" too, but holds no subtitle.
    QTest::keyClicks(bar.edit(), "cafe");
    const struct {
        Qt::KeyboardModifiers modifiers;
        int block;
        const char* status;
    } steps[] = {
        {Qt::NoModifier, 1, "2 of 3"},
        {Qt::NoModifier, 3, "3 of 3"},
        {Qt::NoModifier, 0, "1 of 3 · Search wrapped to the top"},
        {Qt::ShiftModifier, 3, "3 of 3 · Search wrapped to the bottom"},
    };
    EXPECT_EQ(form.selectedRow(), 0);
    EXPECT_EQ(bar.status(), "1 of 3");
    for (const auto& step : steps) {
        QTest::keyClick(bar.edit(), Qt::Key_F3, step.modifiers);
        EXPECT_EQ(form.selectedRow(), step.block) << step.status;
        EXPECT_EQ(bar.status(), QString::fromUtf8(step.status));
    }
    // Case and accents count once the box is cleared: "cafe" is nowhere, "Café" once.
    bar.ignoreCaseBox()->click();
    EXPECT_EQ(bar.status(), "No match");
    bar.edit()->clear();
    QTest::keyClicks(bar.edit(), "Caf");
    QTest::sendKeyEvent(QTest::Click, bar.edit(), Qt::Key_Eacute, QString(QChar(0xE9)),
                        Qt::NoModifier);
    EXPECT_EQ(bar.status(), "1 of 1");
    EXPECT_EQ(form.selectedRow(), 0);
    QTest::keyClick(bar.edit(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
}

TEST_F(FindTest, GoToTakesANumberARowOrATimeCode) {
    const struct {
        const char* typed;
        int block;  // selected after; -1: the dialog stays open with Message
        const char* message;
    } cases[] = {
        {"2", 1, ""},
        {"#3", 2, ""},
        {"00:00:11:00", 3, ""},  // on screen then: the chain's first block
        {"00:00:13:00", 5, ""},  // nothing on screen: the next one
        {"677", -1, "No subtitle number 677."},
        {"#99", -1, "No row #99."},
        {"00:00:30:00", -1, "No subtitle at or after 00:00:30:00."},
        {"soon", -1,
         "Type a subtitle number, a row number such as #12 or a time code HH:MM:SS:FF."},
    };
    for (const auto& c : cases) {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.selectRow(0);
        QString message;
        bool stayed = false;
        viewertest::whenDialogShows<GoToDialog>([&](GoToDialog& dialog) {
            QTest::keyClicks(dialog.edit(), c.typed);
            QTest::keyClick(dialog.edit(), Qt::Key_Return);
            message = dialog.message();
            stayed = dialog.isVisible();
            if (stayed) dialog.reject();
        });
        QTest::keyClick(&form, Qt::Key_G, Qt::ControlModifier);
        EXPECT_EQ(message, c.message) << c.typed;
        EXPECT_EQ(stayed, c.block < 0) << c.typed;
        EXPECT_EQ(form.selectedRow(), c.block < 0 ? 0 : c.block) << c.typed;
    }
}

}  // namespace
