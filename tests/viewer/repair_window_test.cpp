// Tools > Repair...: the window opened from the menu on a file with an overlap, a wrong TNB and a
// subtitle too short to extend; checks per change, per fix and for all; Apply writing only the
// checked changes to NAME.fixed.stl and opening it; the original replaced only when confirmed.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include "MenuClick.h"
#include "subtitle/TextRows.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/preview/SubtitlePreview.h"
#include "viewer/repair/ChangeTreeModel.h"
#include "viewer/repair/RepairOptionsPanel.h"
#include "viewer/repair/RepairWindow.h"

namespace {

using Builder = testsupport::StlFileBuilder;
using repairwindow::ChangeTreeModel;
using repairwindow::RepairWindow;

// A subtitle of one block from In to Out, frames after 10:00:00:00 at 25 fps.
Builder::Block subtitle(int number, int in, int out, std::string_view text) {
    Builder::Block b;
    b.number = static_cast<std::uint16_t>(number);
    const auto put = [](std::uint8_t* tc, int frames) {
        const std::uint8_t parts[] = {10, static_cast<std::uint8_t>(frames / 1500),
                                      static_cast<std::uint8_t>(frames / 25 % 60),
                                      static_cast<std::uint8_t>(frames % 25)};
        std::copy(std::begin(parts), std::end(parts), tc);
    };
    put(b.in, in);
    put(b.out, out);
    b.text = Builder::text(text);
    return b;
}

std::string readAll(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class RepairWindowTest : public ::testing::Test {
protected:
    // Subtitle 1 overlaps 2; 3 lasts 10 frames and 4 follows at once; TNB says 3 of 4 blocks.
    QString write(const std::string& name, const char* diskFormat = "STL25.01",
                  const char* displayStandard = "1", std::string_view firstText = "one") {
        Builder builder;
        builder.gsi(gsi::diskFormatCode, diskFormat)
            .gsi(gsi::displayStandardCode, displayStandard)
            .addBlock(subtitle(1, 25, 75, firstText))
            .addBlock(subtitle(2, 50, 100, "two"))
            .addBlock(subtitle(3, 150, 160, "three"))
            .addBlock(subtitle(4, 160, 200, "four"))
            .announce(3);
        return QString::fromStdString(builder.writeTo(dir.file(name)));
    }

    // Opens File's repair window from the menu and starts from a profile file with overlaps,
    // a gap of 2 frames and a minimum duration of one second.
    RepairWindow* repair(const QString& file, int nonStandardFramesPerSecond = 0) {
        EXPECT_TRUE(form.loadFile(file, nonStandardFramesPerSecond));
        EXPECT_TRUE(viewertest::clickMenuItem(form.m_repairAction));
        auto* window = form.findChild<RepairWindow*>();
        if (!window || !QTest::qWaitForWindowExposed(window)) return nullptr;
        QFile profile(QString::fromStdString(dir.file("delivery.ini")));
        EXPECT_TRUE(profile.open(QIODevice::WriteOnly));
        profile.write(
            "[profile]\nname = Test delivery\n[501]\n[502]\nthreshold = 2\n"
            "[503]\nthreshold = 1000\n");
        profile.close();
        ui.openAnswers = {profile.fileName()};
        QComboBox* box = window->optionsPanel()->profileBox();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);  // "Profile file..."
        EXPECT_EQ(box->currentText(), "Test delivery");
        return window;
    }

    // The row of Fix's change or unfixed item about Place and Field.
    static QModelIndex row(RepairWindow* window, repair::Fix fix, const QString& place,
                           const QString& field) {
        ChangeTreeModel* model = window->model();
        const QModelIndex group = model->fixIndex(fix);
        for (int r = 0; r < model->rowCount(group); ++r) {
            const QModelIndex at = model->index(r, 0, group);
            if (at.data().toString() == place &&
                at.siblingAtColumn(ChangeTreeModel::Field).data().toString() == field)
                return at;
        }
        return {};
    }
    static QStringList columns(const QModelIndex& at) {
        QStringList out;
        for (int c = ChangeTreeModel::Field; c <= ChangeTreeModel::Fixes; ++c)
            out << at.siblingAtColumn(c).data().toString();
        return out;
    }
    static void clickCheck(QTreeView* view, const QModelIndex& at) {
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualRect(at);
        option.features =
            QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect check =
            view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, check.center());
    }

    const QString overlapPlace = "Subtitle 1 (10:00:01:00)";

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
};

TEST_F(RepairWindowTest, MenuItemNeedsALoadedFile) {
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_repairAction));
    EXPECT_FALSE(form.m_repairAction->isEnabled());
    EXPECT_EQ(form.findChild<RepairWindow*>(), nullptr);
}

TEST_F(RepairWindowTest, ListsTheChangesAndWhatCannotBeFixedWritingNothing) {
    RepairWindow* window = repair(write("a.stl"));
    ASSERT_NE(window, nullptr);
    struct Expected {
        repair::Fix fix;
        const char* place;
        QStringList columns;  // field, before, after, fixes
        bool checkable;
    };
    const Expected expected[] = {
        {repair::Fix::Overlap,
         "Subtitle 1 (10:00:01:00)",
         {"TimeCodeOut", "10:00:03:00", "10:00:01:23", "overlap"},
         true},
        {repair::Fix::BlockCount, "Header", {"TotalNumberOfTTI", "00003", "00004", "tnb"}, true},
        {repair::Fix::MinDuration,
         "Subtitle 3 (10:00:06:00)",
         {"TimeCodeOut", "", "not fixed", "min-duration"},
         false},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.place);
        const QModelIndex at = row(window, e.fix, e.place, e.columns[0]);
        ASSERT_TRUE(at.isValid());
        EXPECT_EQ(columns(at), e.columns);
        EXPECT_EQ(bool(at.flags() & Qt::ItemIsUserCheckable), e.checkable);
    }
    EXPECT_EQ(window->allBox()->checkState(), Qt::Checked);
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList({"*.stl"}, QDir::Files),
              QStringList{"a.stl"});
}

TEST_F(RepairWindowTest, ApplyWritesOnlyTheCheckedChangesBesideTheOriginalAndOpensIt) {
    const QString original = write("a.stl");
    const std::string before = readAll(original);
    RepairWindow* window = repair(original);
    ASSERT_NE(window, nullptr);
    clickCheck(window->changeView(),
               row(window, repair::Fix::Overlap, overlapPlace, "TimeCodeOut"));
    EXPECT_EQ(window->allBox()->checkState(), Qt::PartiallyChecked);

    const QString fixed = QString::fromStdString(dir.file("a.fixed.stl"));
    ui.saveAnswers = {fixed};
    QTest::mouseClick(window->applyButton(), Qt::LeftButton);
    EXPECT_EQ(ui.lastSaveDir, fixed);
    const std::string after = readAll(fixed);
    const auto field = [](const std::string& bytes, std::size_t offset, const StlField& f) {
        return bytes.substr(offset + f.offset, f.length);
    };
    EXPECT_EQ(field(after, ttiBlockOffset(0), tti::timeCodeOut),
              field(before, ttiBlockOffset(0), tti::timeCodeOut));
    EXPECT_EQ(field(after, 0, gsi::totalNumberOfTti), "00004");
    EXPECT_EQ(readAll(original), before);
    EXPECT_EQ(form.fileName(), fixed);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RepairWindowTest, TheOriginalIsReplacedOnlyWhenConfirmedAndNeverWhenOpenedReadOnly) {
    struct Case {
        const char* name;
        const char* diskFormat;
        int framesPerSecond;
        bool answer;
        const char* asked;  // the start of what was shown after the save dialog
        bool written;
    };
    const Case cases[] = {
        {"declined", "STL25.01", 0, false, "confirm: Replace the original file", false},
        {"confirmed", "STL25.01", 0, true, "confirm: Replace the original file", true},
        {"read-only", "STL24.01", 24, true, "error: \"read-only.stl\" is a non-standard", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString original = write(std::string(c.name) + ".stl", c.diskFormat);
        const std::string before = readAll(original);
        RepairWindow* window = repair(original, c.framesPerSecond);
        ASSERT_NE(window, nullptr);
        ui.shown.clear();
        ui.saveAnswers = {original};
        ui.confirmAnswers = {c.answer};
        QTest::mouseClick(window->applyButton(), Qt::LeftButton);
        ASSERT_EQ(ui.shown.size(), 2);
        EXPECT_TRUE(ui.shown[1].startsWith(c.asked)) << ui.shown[1].toStdString();
        EXPECT_EQ(readAll(original) != before, c.written);
        EXPECT_EQ(window->isVisible(), !c.written);
        delete window;
    }
}

TEST_F(RepairWindowTest, ChecksPerFixAndForAllSurviveNewParameters) {
    RepairWindow* window = repair(write("a.stl"));
    ASSERT_NE(window, nullptr);
    QTreeView* view = window->changeView();
    clickCheck(view, window->model()->fixIndex(repair::Fix::BlockCount));
    const auto tnbChecked = [&] {
        return row(window, repair::Fix::BlockCount, "Header", "TotalNumberOfTTI")
            .data(Qt::CheckStateRole)
            .toInt();
    };
    EXPECT_EQ(tnbChecked(), Qt::Unchecked);
    EXPECT_EQ(window->allBox()->checkState(), Qt::PartiallyChecked);

    // A new gap proposes the overlap's change anew; the rejected count stays rejected.
    QSpinBox* gap = window->optionsPanel()->gapBox();
    gap->setFocus();
    gap->selectAll();
    QTest::keyClicks(gap, "3");
    QTest::keyClick(gap, Qt::Key_Enter);
    EXPECT_EQ(window->optionsPanel()->profileBox()->currentText(), "Custom");
    EXPECT_EQ(columns(row(window, repair::Fix::Overlap, overlapPlace, "TimeCodeOut"))[2],
              "10:00:01:22");
    EXPECT_EQ(tnbChecked(), Qt::Unchecked);

    QTest::mouseClick(window->allBox(), Qt::LeftButton, {},
                      QPoint(4, window->allBox()->height() / 2));
    EXPECT_EQ(tnbChecked(), Qt::Checked);
    EXPECT_EQ(window->allBox()->checkState(), Qt::Checked);
}

TEST_F(RepairWindowTest, PreviewsShowTheSelectedChangesSubtitleBeforeAndAfter) {
    // Open subtitles by the header, a teletext double-height code in the text.
    RepairWindow* window = repair(write("a.stl", "STL25.01", "0",
                                        "\x0d"
                                        "one"));
    ASSERT_NE(window, nullptr);
    QCheckBox* dsc = window->optionsPanel()->fixBox(repair::Fix::DisplayStandard);
    QTest::mouseClick(dsc, Qt::LeftButton, {}, QPoint(4, dsc->height() / 2));
    ASSERT_TRUE(dsc->isChecked());
    using Mode = preview::DisplayMode;
    struct Case {
        repair::Fix fix;
        QString place, field;
        Mode before, after;
    };
    const Case cases[] = {
        {repair::Fix::Overlap, overlapPlace, "TimeCodeOut", Mode::OpenSubtitling,
         Mode::OpenSubtitling},
        {repair::Fix::DisplayStandard, "Header", "DisplayStandardCode", Mode::OpenSubtitling,
         Mode::TeletextLevel1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        QTreeView* view = window->changeView();
        const QModelIndex at = row(window, c.fix, c.place, c.field);
        ASSERT_TRUE(at.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(at.siblingAtColumn(ChangeTreeModel::Field)).center());
        for (const auto& [preview, mode] :
             {std::pair{window->previewBefore(), c.before}, {window->previewAfter(), c.after}}) {
            EXPECT_EQ(preview->currentLayout().mode, mode);
            QString text;
            for (const auto& line : preview->currentLayout().lines)
                text += QString::fromStdU16String(subtitle::plainText(line));
            EXPECT_EQ(text.trimmed(), "one");  // the header change shows on the last subtitle
        }
    }
}

// The text of a chain changes block by block: rejecting one block's change leaves the other's.
TEST(ChangeTreeModelTest, ARejectionStaysWithItsOwnBlockOfAChain) {
    repair::Proposal proposal;
    for (const std::uint64_t block : {0u, 1u}) {
        repair::Change change;
        change.fixes = {repair::Fix::TrailingSpaces};
        change.place = {false, 0, 0, 1, {}};
        change.field = "TextField";
        change.edits = {{ttiBlockOffset(static_cast<std::uint32_t>(block)) + 16, "x"}};
        proposal.changes.push_back(change);
    }
    ChangeTreeModel model;
    model.setProposal(proposal);
    const QModelIndex group = model.fixIndex(repair::Fix::TrailingSpaces);
    ASSERT_TRUE(model.setData(model.index(1, 0, group), Qt::Unchecked, Qt::CheckStateRole));
    model.setProposal(proposal);
    EXPECT_EQ(model.chosen(), (std::vector<bool>{true, false}));
}

}  // namespace
