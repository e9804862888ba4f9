// The main window under conditions a user runs into without meaning to: a first start, damaged
// stored geometry, a file that shrinks while it is shown, and the mouse wheel over the list.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QTreeWidget>
#include <QWheelEvent>
#include <filesystem>

#include "platform/Registry.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexView.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

using testsupport::StlFileBuilder;

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

class MainWindowBadInputTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;

    static bool titleBarOnScreen(const MainWindow& form) {
        const QRect outer = form.frameGeometry();
        return QGuiApplication::screenAt(QPoint(outer.center().x(), outer.y() + 8)) != nullptr;
    }
    static QString subtitleNumberLine(const MainWindow& form) {
        const QTreeWidgetItem* root = form.m_ttiTree->topLevelItem(0);
        return root && root->childCount() > 1 ? root->child(1)->text(0) : QString();
    }
    static void wheel(MainWindow& form, int delta, Qt::KeyboardModifiers modifiers) {
        QWidget* viewport = form.m_subtitleList->viewport();
        const QPointF at(10, 10);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
};

StlFileBuilder numberedBlocks(int count) {
    StlFileBuilder builder;
    for (int i = 0; i < count; ++i) {
        StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(100 + i);
        block.text = StlFileBuilder::text("line");
        builder.addBlock(block);
    }
    builder.announce(count);
    return builder;
}

}  // namespace

TEST_F(MainWindowBadInputTest, FirstStartCentresTheWindowAtItsDesignedWidth) {
    MainWindow form;
    form.show();
    const QRect screen = form.screen()->geometry();
    const QRect outer = form.frameGeometry();
    EXPECT_EQ(form.width(), MainWindow::designedClientWidth);
    // The window system may still adjust the frame by a few pixels after showing.
    EXPECT_NEAR(outer.center().x(), screen.center().x(), 4);
    EXPECT_NEAR(outer.center().y(), screen.center().y(), 4);
    form.close();
}

TEST_F(MainWindowBadInputTest, AbsurdStoredGeometryLeavesAReachableDrawableWindow) {
    {
        auto key = platform::RegistryKey::open(settingsKey, true);
        ASSERT_TRUE(key);
        key->writeDWord("FormTop", 100000);
        key->writeDWord("FormLeft", static_cast<std::uint32_t>(-100000));
        key->writeDWord("FormHeight", static_cast<std::uint32_t>(-5));
        key->writeDWord("FormWidth", 2000000000);
        key->writeDWord("LenColWidth", static_cast<std::uint32_t>(-20));
        key->writeDWord("Panel2Width", static_cast<std::uint32_t>(-3));
        key->writeDWord("WindowState", 7);
    }
    MainWindow form;
    form.show();
    EXPECT_TRUE(titleBarOnScreen(form));
    const QSize desktop = form.screen()->virtualGeometry().size();
    EXPECT_GT(form.width(), 0);
    EXPECT_LE(form.width(), desktop.width());
    EXPECT_GT(form.height(), 0);
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    EXPECT_GE(form.m_subtitleList->header()->sectionSize(SubtitleListModel::NumberColumn), 0);
    for (int size : form.m_mainSplitter->sizes()) EXPECT_GE(size, 0);

    // The window still works: a file loads and lists.
    ASSERT_TRUE(form.loadFile(
        QString::fromStdString(StlFileBuilder().addBlocks(2).writeTo(dir.file("after.stl")))));
    EXPECT_EQ(form.m_listModel->rowCount(), 2);
    form.close();
}

TEST_F(MainWindowBadInputTest, FileShrunkOrRemovedAfterLoadingKeepsTheWindowUsable) {
    const std::string path = dir.file("shrinks.stl");
    numberedBlocks(5).writeTo(path);
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(QString::fromStdString(path)));
    ASSERT_EQ(form.m_listModel->rowCount(), 5);

    // Only the first block and part of the second remain.
    std::filesystem::resize_file(path, 1024 + 128 + 50);
    testsupport::DebugCapture debug;
    form.m_subtitleList->setCurrentIndex(
        form.m_listModel->index(3, SubtitleListModel::NumberColumn));
    form.onSubtitleListMousePressed();
    ASSERT_EQ(form.m_ttiTree->topLevelItemCount(), 1);
    EXPECT_EQ(form.m_ttiTree->topLevelItem(0)->childCount(), 0);
    EXPECT_TRUE(debug.contains("vyr: Error in TForm1.UpdateTreeView_TTI call..."));

    // A code page change reads the file again: only the whole block that is left is listed.
    QAction* cp1252 = nullptr;
    for (QAction* item : form.m_encodingGroup->actions())
        if (item->data().toInt() == 1252) cp1252 = item;
    ASSERT_NE(cp1252, nullptr);
    form.onEncodingTriggered(cp1252);
    EXPECT_EQ(form.m_listModel->rowCount(), 1);
    EXPECT_EQ(subtitleNumberLine(form), "SubtitleNumber                       : 100 (2 bytes)");

    ASSERT_TRUE(std::filesystem::remove(path));
    form.m_subtitleList->setCurrentIndex(
        form.m_listModel->index(0, SubtitleListModel::NumberColumn));
    form.onSubtitleListKeyReleased();
    form.onCloseTriggered();
    EXPECT_EQ(form.stlReader(), nullptr);
    EXPECT_EQ(form.windowTitle(), "Lumtrace");
    form.close();
}

TEST_F(MainWindowBadInputTest, BlocksAppendedAfterLoadingAreListedAtTheNextWalk) {
    const std::string path = dir.file("grows.stl");
    numberedBlocks(2).writeTo(path);
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(QString::fromStdString(path)));
    ASSERT_EQ(form.m_listModel->rowCount(), 2);

    numberedBlocks(5).writeTo(path);  // the same file, three blocks longer
    for (QAction* item : form.m_encodingGroup->actions())
        if (item->data().toInt() == 1252) form.onEncodingTriggered(item);
    EXPECT_EQ(form.m_listModel->rowCount(), 5);
    form.close();
}

TEST_F(MainWindowBadInputTest, WheelOverTheListMovesTheSelectionAndTheTreeAndHexViewFollow) {
    MainWindow form;
    form.show();
    ASSERT_TRUE(
        form.loadFile(QString::fromStdString(numberedBlocks(200).writeTo(dir.file("wheel.stl")))));
    ASSERT_EQ(form.selectedRow(), 0);
    const auto showsSelectedBlock = [&form] {
        const int row = form.selectedRow();
        EXPECT_EQ(subtitleNumberLine(form),
                  QString("SubtitleNumber                       : %1 (2 bytes)").arg(100 + row));
        EXPECT_EQ(form.hexView()->lastRefreshOffset(), 1024 + 128 * row);
    };

    wheel(form, -120, Qt::NoModifier);
    wheel(form, -120, Qt::NoModifier);
    EXPECT_EQ(form.selectedRow(), 2);
    showsSelectedBlock();
    wheel(form, 120, Qt::NoModifier);
    EXPECT_EQ(form.selectedRow(), 1);
    showsSelectedBlock();

    // With Ctrl a wheel step pages, and Ctrl does not turn it into a move without selecting.
    wheel(form, -120, Qt::ControlModifier);
    const int paged = form.selectedRow();
    EXPECT_GT(paged, 2);
    showsSelectedBlock();
    wheel(form, 120, Qt::ControlModifier);
    EXPECT_LT(form.selectedRow(), paged);
    showsSelectedBlock();
    form.close();
}

TEST_F(MainWindowBadInputTest, UnreadableSettingsStoreIsLeftAloneAndTheWindowStillWorks) {
    const std::string store = platform::registryFilePath();
    std::filesystem::create_directories(std::filesystem::path(store).parent_path());
    const QByteArray garbage("\x01\x02 not a store [[[\n=\"\n", 22);
    {
        QFile file(QString::fromStdString(store));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    {
        MainWindow form;
        form.show();
        EXPECT_EQ(form.codePage(), 0);
        EXPECT_TRUE(form.checkForUpdates());
        ASSERT_TRUE(form.loadFile(
            QString::fromStdString(StlFileBuilder().addBlocks(3).writeTo(dir.file("ok.stl")))));
        EXPECT_EQ(form.m_listModel->rowCount(), 3);
        form.close();
    }
    QFile file(QString::fromStdString(store));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage);
}
