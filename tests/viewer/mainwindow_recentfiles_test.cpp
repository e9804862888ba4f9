// File → Recent Files driven through the menu's actions: newest first, at most eight, kept in
// the settings across windows, a vanished file dropped with a message, and Clear Recent Files.

#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>

#include "platform/Registry.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/RecentFiles.h"

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

class RecentFilesTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;

    QString makeFile(const std::string& name) {
        return QString::fromStdString(
            testsupport::StlFileBuilder().addBlocks(2).announce(2).writeTo(dir.file(name)));
    }
    void openThroughMenu(MainWindow& form, const QString& file) {
        ui.openAnswers.push_back(file);
        form.m_openAction->trigger();
    }
    // The file entries of the submenu, without their "&N " accelerators.
    static QStringList entries(const MainWindow& form) {
        QStringList files;
        for (QAction* action : form.m_recentFiles->menu()->actions())
            if (!action->isSeparator() && action != form.m_recentFiles->clearAction())
                files << action->data().toString();
        return files;
    }
    static QAction* entry(const MainWindow& form, int index) {
        int i = 0;
        for (QAction* action : form.m_recentFiles->menu()->actions())
            if (action->data().isValid() && i++ == index) return action;
        return nullptr;
    }
    static std::string storedValue() {
        const auto key = platform::RegistryKey::open(settingsKey, false);
        std::string text;
        if (!key || !key->readString(RecentFiles::valueName, text)) return "<missing>";
        return text;
    }
};

TEST_F(RecentFilesTest, KeepsTheEightNewestFirstWithoutRepeats) {
    MainWindow form;
    QStringList files;
    for (int i = 0; i < 10; ++i) files << makeFile("f" + std::to_string(i) + ".stl");
    for (const QString& file : files) openThroughMenu(form, file);
    openThroughMenu(form, files[5]);  // again: moves up, not listed twice

    const QStringList expected = {files[5], files[9], files[8], files[7],
                                  files[6], files[4], files[3], files[2]};
    EXPECT_EQ(entries(form), expected);
    EXPECT_EQ(entry(form, 0)->text(), "&1 " + files[5]);
    EXPECT_TRUE(form.m_recentFiles->clearAction()->isEnabled());
    // Only the Open dialogs: no message along the way.
    EXPECT_EQ(ui.shown.filter(QRegularExpression("^(message|error|offer)")), QStringList());

    // A file that is not opened (refused) does not join the list.
    std::ofstream(dir.file("notes.stl")) << std::string(2000, 'x');
    openThroughMenu(form, QString::fromStdString(dir.file("notes.stl")));
    EXPECT_EQ(entries(form), expected);
}

TEST_F(RecentFilesTest, ListSurvivesTheWindowAndOpensFromTheMenu) {
    // Names that need care in one line of settings text.
    const QStringList files = {makeFile("plain.stl"), makeFile("a;b %41&c.stl"),
                               makeFile("line\nbreak.stl")};
    {
        MainWindow form;
        for (const QString& file : files) openThroughMenu(form, file);
        form.close();
    }
    EXPECT_EQ(storedValue().find('\n'), std::string::npos);

    MainWindow again;
    EXPECT_EQ(entries(again), (QStringList{files[2], files[1], files[0]}));
    EXPECT_EQ(entry(again, 1)->text(), "&2 " + QString(files[1]).replace("&", "&&"));
    entry(again, 1)->trigger();
    EXPECT_EQ(again.fileName(), files[1]);
    ASSERT_NE(again.stlReader(), nullptr);
    EXPECT_EQ(entries(again), (QStringList{files[1], files[2], files[0]}));
}

TEST_F(RecentFilesTest, VanishedFileIsRemovedWithAMessage) {
    MainWindow form;
    const QString kept = makeFile("kept.stl"), gone = makeFile("gone.stl");
    openThroughMenu(form, kept);
    openThroughMenu(form, gone);
    std::filesystem::remove(gone.toStdString());

    ui.shown.clear();
    entry(form, 0)->trigger();
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0], "error: Cannot find the file " + gone +
                               ".\nIt has been removed from the Recent Files list.");
    EXPECT_EQ(entries(form), QStringList{kept});
    EXPECT_EQ(MainWindow().m_recentFiles->files(), QStringList{kept});
}

TEST_F(RecentFilesTest, ClearEmptiesMenuAndSettingsAndLeavesTheOtherValues) {
    {
        MainWindow form;
        openThroughMenu(form, makeFile("one.stl"));
        form.m_recentFiles->clearAction()->trigger();
        EXPECT_TRUE(entries(form).isEmpty());
        EXPECT_FALSE(form.m_recentFiles->clearAction()->isEnabled());
        EXPECT_EQ(storedValue(), "");
        form.close();
    }
    // The window's own values are written as before, beside the list.
    const auto key = platform::RegistryKey::open(settingsKey, false);
    ASSERT_TRUE(key);
    for (const char* name :
         {"FormTop", "FormLeft", "FormHeight", "FormWidth", "OffsetColWidth", "LenColWidth",
          "StartCodeColWidth", "NALColWidth", "Panel2Width", "WindowState", "ListView Font",
          "AutomaticCodePage", "CodePageNumber", "CheckForUpdates"})
        EXPECT_TRUE(key->valueExists(name)) << name;
    EXPECT_TRUE(MainWindow().m_recentFiles->files().isEmpty());
}

}  // namespace
