// The validation window's way to a finding: the Subtitle column, the severity and rule filters,
// rules that fire often shown as one group, and a finding leading to its block.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"
#include "viewer/validation/FindingFilterBar.h"
#include "viewer/validation/ReportListModel.h"
#include "viewer/validation/ValidationWindow.h"

namespace validationtest {
namespace {

using Column = ReportListModel::Column;

// Store order (the "#" column): Info, six 514 warnings on blocks 0-5, an Error, six more 514 on
// blocks 6-11, 514 on block 5 again, an Error, and a finding of no rule and no severity.
std::vector<std::string> mixedScript() {
    std::vector<std::string> lines{"7\t1\t[101] Start"};
    for (int block = 0; block < 12; ++block) {
        if (block == 6) lines.push_back("7\t3\t[425] TTI # 3 - Duplicate");
        lines.push_back("7\t2\t[514] TTI # " + std::to_string(block) + " - No double height");
    }
    lines.push_back("7\t2\t[514] TTI # 5 - No double height");
    lines.push_back("7\t3\t[425] TTI # 7 - Duplicate");
    lines.push_back("7\t0\tplain");
    return lines;
}
const QString GROUP_514 = QStringLiteral("514 — 12 subtitles (13 findings)");

class ValidationFindingsTest : public ::testing::Test {
protected:
    std::unique_ptr<ValidationWindow> run(const std::string& plugin, const std::string& file) {
        auto form = std::make_unique<ValidationWindow>();
        form->setPaths(plugin, QString::fromStdString(file));
        EXPECT_TRUE(form->loadPlugin());
        form->show();
        QTest::mouseClick(form->btnValidation, Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        while (!ui.shown.contains("message: Done") && clock.elapsed() < 20000) QTest::qWait(10);
        EXPECT_TRUE(ui.shown.contains("message: Done"));
        return form;
    }
    std::unique_ptr<ValidationWindow> runMixed() {
        return run(fakePlugin("fake_scripted"), writeScript(dir.file("script.txt"), mixedScript()));
    }
    // The top-level rows: a finding by its "#", a group by its label.
    static std::vector<QString> topRows(const ValidationWindow& form) {
        const QAbstractItemModel* model = form.lvReport->model();
        std::vector<QString> rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            const bool group = model->rowCount(model->index(row, 0)) > 0;
            rows.push_back(model->index(row, group ? Column::MessageColumn : 0).data().toString());
        }
        return rows;
    }
    static QModelIndex groupRow(const ValidationWindow& form) {
        const QAbstractItemModel* model = form.lvReport->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->hasChildren(model->index(row, 0))) return model->index(row, 0);
        return {};
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
};

TEST_F(ValidationFindingsTest, SubtitleColumnNamesNumberAndTimeOfABlockFinding) {
    testsupport::StlFileBuilder::Block first, second;
    first.number = 1;
    first.in[2] = 1;
    second.number = 7;
    second.vertical = 120;  // a finding about block 1
    second.in[1] = 2;
    second.in[3] = 12;
    second.out[1] = 3;
    const std::string file =
        testsupport::StlFileBuilder().addBlock(first).addBlock(second).announce(2).writeTo(
            dir.file("film.stl"));
    auto form = run(SIEVRA, file);
    const QAbstractItemModel* model = form->lvReport->model();
    EXPECT_EQ(model->headerData(Column::SubtitleColumn, Qt::Horizontal).toString(), "Subtitle");
    // Rule: what the Subtitle column shows for its findings.
    const std::map<QString, QString> expected{{"[438]", "7  00:02:00:12"}, {"[301]", ""}};
    std::map<QString, QString> seen;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString rule = model->index(row, Column::MessageColumn).data().toString().left(5);
        if (expected.count(rule))
            seen[rule] = model->index(row, Column::SubtitleColumn).data().toString();
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(ValidationFindingsTest, SeverityButtonsHideTheirFindings) {
    auto form = runMixed();
    FindingFilterBar* bar = form->filterBar;
    EXPECT_EQ(bar->btnErrors->text(), "&Error (2)");
    EXPECT_EQ(bar->btnWarnings->text(), "&Warning (13)");
    EXPECT_EQ(bar->btnInfos->text(), "&Info (1)");
    const struct {
        std::vector<QToolButton*> off;
        std::vector<QString> rows;
    } cases[] = {
        {{}, {"1", GROUP_514, "8", "16", "17"}},
        {{bar->btnErrors}, {"1", GROUP_514, "17"}},
        {{bar->btnWarnings}, {"1", "8", "16", "17"}},
        {{bar->btnInfos}, {GROUP_514, "8", "16", "17"}},
        // A finding of no known severity is never hidden.
        {{bar->btnErrors, bar->btnWarnings, bar->btnInfos}, {"17"}},
    };
    for (const auto& c : cases) {
        for (QToolButton* button : c.off) QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(topRows(*form), c.rows) << c.off.size();
        for (QToolButton* button : c.off) QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(topRows(*form), cases[0].rows);
}

TEST_F(ValidationFindingsTest, RuleChoiceListsThatRuleFlat) {
    auto form = runMixed();
    QComboBox* rules = form->filterBar->cbRule;
    QStringList items;
    for (int i = 0; i < rules->count(); ++i) items << rules->itemText(i);
    EXPECT_EQ(items, QStringList({"All rules", "No rule (1)", "101 (1)", "425 (2)", "514 (13)"}));
    const struct {
        Qt::Key key;
        std::vector<QString> rows;
    } steps[] = {
        {Qt::Key_Down, {"17"}},
        {Qt::Key_Down, {"1"}},
        {Qt::Key_Down, {"8", "16"}},
        {Qt::Key_Down, {"2", "3", "4", "5", "6", "7", "9", "10", "11", "12", "13", "14", "15"}},
        {Qt::Key_Home, {"1", GROUP_514, "8", "16", "17"}},
    };
    rules->setFocus();
    for (const auto& step : steps) {
        QTest::keyClick(rules, step.key);
        EXPECT_EQ(topRows(*form), step.rows) << rules->currentText().toStdString();
    }
}

TEST_F(ValidationFindingsTest, GroupOpensAndItsFindingsLeadToTheirBlocks) {
    auto form = runMixed();
    QTreeView* view = form->lvReport;
    const QAbstractItemModel* model = view->model();
    QSignalSpy activated(form.get(), &ValidationWindow::findingActivated);
    const QModelIndex group = groupRow(*form);
    ASSERT_TRUE(group.isValid());
    EXPECT_EQ(model->index(group.row(), Column::TypeColumn).data().toString(), "Warning");
    EXPECT_EQ(model->rowCount(group), 13);
    EXPECT_FALSE(view->isExpanded(group));

    view->setFocus();
    view->setCurrentIndex(group);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(view->isExpanded(group));
    EXPECT_TRUE(activated.isEmpty());
    // Enter on the first finding, then a double-click on the last (block 5 again).
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(view->currentIndex().siblingAtColumn(0).data().toString(), "2");
    QTest::keyClick(view, Qt::Key_Return);
    const QModelIndex last = model->index(12, Column::MessageColumn, group);
    EXPECT_EQ(last.data().toString(), "[514] No double height");
    view->scrollTo(last);
    const QPoint at = view->visualRect(last).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated[0][0].toInt(), 0);
    EXPECT_EQ(activated[1][0].toInt(), 5);

    // A group stays open through a change of filter; a double-click on it closes it.
    QTest::mouseClick(form->filterBar->btnInfos, Qt::LeftButton);
    const QModelIndex reopened = groupRow(*form);
    EXPECT_TRUE(view->isExpanded(reopened));
    view->scrollTo(reopened);
    QTest::qWait(20);  // the rows of the new filter are laid out
    const QPoint groupAt =
        view->visualRect(reopened.siblingAtColumn(Column::MessageColumn)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, groupAt);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, groupAt);
    EXPECT_FALSE(view->isExpanded(reopened));
    EXPECT_EQ(activated.size(), 2);
}

}  // namespace
}  // namespace validationtest
