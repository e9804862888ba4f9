// The viewer used from the keyboard alone: menus by their underlined letters, Tab through the
// panes, the validation window ready for Space.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListView.h"
#include "viewer/validation/ValidationWindow.h"

namespace {

class KeyboardTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
};

QChar mnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Each command of a menu has an underlined letter no other item of that menu uses. Generated
// lists (the code pages under Encoding, the numbered recent files) are walked with the arrows.
void expectMnemonics(const QList<QAction*>& actions, const QString& where) {
    QSet<QChar> used;
    for (QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible() || action->actionGroup()) continue;
        const QChar letter = mnemonicOf(action->text());
        EXPECT_FALSE(letter.isNull()) << (where + " > " + action->text()).toStdString();
        EXPECT_FALSE(used.contains(letter)) << (where + " > " + action->text()).toStdString();
        used.insert(letter);
    }
}

}  // namespace

TEST_F(KeyboardTest, EveryMenuCommandHasItsOwnUnderlinedLetter) {
    MainWindow form;
    form.show();
    const QList<QAction*> menus = form.menuBar()->actions();
    expectMnemonics(menus, "menu bar");
    for (QAction* menu : menus) {
        ASSERT_TRUE(menu->menu());
        expectMnemonics(menu->menu()->actions(), menu->text());
    }
    expectMnemonics(form.m_listContextMenu->actions(), "list context menu");
}

TEST_F(KeyboardTest, MenusOpenAndRunFromTheirLetters) {
    MainWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // Alt+T opens Tools, G runs Hex Edit GSI: with no file loaded it says so.
    QTest::keyClick(&form, Qt::Key_T, Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup);
    QTest::keyClick(popup, Qt::Key_G);
    EXPECT_EQ(ui.shown, QStringList{"error: There is no file loaded."});
    // Alt+O, F: the font dialog.
    QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
    popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup);
    QTest::keyClick(popup, Qt::Key_F);
    EXPECT_TRUE(ui.shown.contains("font"));
    form.close();
}

TEST_F(KeyboardTest, TabVisitsTheListTheTreesAndTheHexViewInReadingOrder) {
    MainWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_TRUE(form.loadFile(QString::fromStdString(
        testsupport::StlFileBuilder().addBlocks(3).writeTo(dir.file("tab.stl")))));
    form.m_subtitleList->setFocus();
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (int step = 0; step < 10; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
        if (visited.back() == form.m_subtitleList) break;
    }
    const QList<QWidget*> panes{form.m_subtitleList, form.m_gsiTree, form.m_ttiTree,
                                form.m_hexText};
    QList<QWidget*> seen;
    for (QWidget* widget : visited)
        if (panes.contains(widget) && !seen.contains(widget)) seen << widget;
    EXPECT_EQ(seen, panes);
    EXPECT_EQ(visited.back(), form.m_subtitleList) << "Tab does not come back to the list";
    form.close();
}

TEST_F(KeyboardTest, ValidationWindowOpensWithStartFocused) {
    ValidationWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(form.btnValidation));
    // Every button answers to its underlined letter.
    QSet<QChar> letters;
    for (QAbstractButton* button : form.findChildren<QAbstractButton*>())
        letters.insert(mnemonicOf(button->text()));
    EXPECT_EQ(letters, (QSet<QChar>{'s', 't', 'r', 'c', 'e', 'w', 'i'}));
}
