// The plug-in's two settings dialogs, driven through their handlers; the modal parts are
// answered from a timer.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <functional>

#include "ModalAnswer.h"
#include "plugin/RuleSettings.h"
#include "plugin/setup/RuleSettingsDialog.h"
#include "plugin/setup/SetupDialog.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "tests/support/TestEnvironment.h"

using plugintest::answerModal;

namespace {

struct Snapshot {
    std::int32_t id;
    std::int32_t reportType;
    bool enabled;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> snap(const RuleSettings& list) {
    std::vector<Snapshot> out;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const RuleSetting* s = list.getValidationSetting(i);
        out.push_back({s->id, s->reportType, s->enabled});
    }
    return out;
}

// The rule dialog shown on List, with a working copy, as EditValidationSettings prepares it.
class RuleDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        addDefaultValidationSettings(list);
        ASSERT_TRUE(working.assignValidationSettingList(list));
        form.m_ruleSettings = &list;
        form.m_workingRuleSettings = &working;
    }
    int rowOf(std::int32_t id) {
        for (int i = 0; i < list.count(); ++i)
            if (list.getValidationSetting(i)->id == id) return i;
        return -1;
    }
    void select(std::int32_t id) {
        form.lvValidationSettings->setCurrentItem(
            form.lvValidationSettings->topLevelItem(rowOf(id)));
    }
    QString cell(std::int32_t id, int column) {
        return form.lvValidationSettings->topLevelItem(rowOf(id))->text(column);
    }

    RuleSettings list;
    RuleSettings working;
    RuleSettingsDialog form;
};

TEST_F(RuleDialogTest, FormShowListsEveryRuleAndShowsTheFirst) {
    list.getValidationSetting(rowOf(402))->reportType = 7;
    working.getValidationSettingFromId(402)->reportType = 7;
    list.getValidationSetting(rowOf(427))->enabled = false;
    form.onFirstShow();
    ASSERT_EQ(form.lvValidationSettings->topLevelItemCount(), 79);
    EXPECT_EQ(form.lvValidationSettings->headerItem()->text(4), "Description");
    EXPECT_EQ(cell(101, 0), "101");
    EXPECT_EQ(cell(101, 1), "Start validation information");
    EXPECT_EQ(cell(101, 2), "Info");
    EXPECT_EQ(cell(101, 3), "Yes");
    EXPECT_EQ(cell(101, 4), "Start validation information");
    EXPECT_EQ(cell(402, 2), "Unknown");
    EXPECT_EQ(cell(427, 3), "No");
    EXPECT_EQ(cell(440, 2), "Error");
    EXPECT_EQ(form.m_selectedIndex, 0);
    EXPECT_EQ(form.edID->text(), "101");
    EXPECT_EQ(form.edName->text(), "Start validation information");
}

TEST_F(RuleDialogTest, InfoRulesOfferOnlyTheirSwitch) {
    form.onFirstShow();
    for (std::int32_t id : {101, 102, 103, 301, 315, 329}) {
        SCOPED_TRACE(id);
        select(id);
        EXPECT_EQ(form.edID->text(), QString::number(id));
        EXPECT_FALSE(form.cbReportType->isEnabled());
        EXPECT_TRUE(form.cbEnabled->isEnabled());
        EXPECT_EQ(form.cbReportType->currentText(), "Info");
    }
    for (std::int32_t id : {104, 201, 401, 402, 440}) {
        SCOPED_TRACE(id);
        select(id);
        EXPECT_TRUE(form.cbReportType->isEnabled());
        EXPECT_EQ(form.cbReportType->currentText(), "Error");
    }
}

TEST_F(RuleDialogTest, EditsGoToTheWorkingCopyAndTheRow) {
    form.onFirstShow();
    select(404);
    form.cbReportType->setCurrentIndex(1);  // "Warning", through its change handler
    form.cbEnabled->setCurrentIndex(1);     // "No"
    EXPECT_EQ(working.getValidationSettingFromId(404)->reportType, 2);
    EXPECT_FALSE(working.getValidationSettingFromId(404)->enabled);
    EXPECT_EQ(cell(404, 2), "Warning");
    EXPECT_EQ(cell(404, 3), "No");
    // The caller's list is untouched until the dialog is confirmed.
    EXPECT_EQ(list.getValidationSettingFromId(404)->reportType, 3);
    EXPECT_TRUE(list.getValidationSettingFromId(404)->enabled);

    // Showing another row is not an edit.
    select(101);
    EXPECT_EQ(working.getValidationSettingFromId(101)->reportType, 1);
    EXPECT_EQ(working.getValidationSettingFromId(404)->reportType, 2);
}

TEST_F(RuleDialogTest, AnUnknownTypeLeavesTheDropDownAsItWas) {
    working.getValidationSettingFromId(402)->reportType = 7;
    form.onFirstShow();
    select(404);
    form.cbReportType->setCurrentIndex(1);
    select(402);
    EXPECT_EQ(form.cbReportType->currentText(), "Warning");
    EXPECT_EQ(working.getValidationSettingFromId(402)->reportType, 7);
}

TEST_F(RuleDialogTest, HandlersWithoutARowOrListDoNothing) {
    form.cbReportTypePropertiesChange();  // nothing shown yet
    form.updateSelected(500);
    form.updateSelected(-1);
    EXPECT_EQ(snap(working), snap(list));
    RuleSettingsDialog empty;
    RuleSettings none;
    empty.m_ruleSettings = &none;
    empty.m_workingRuleSettings = &none;
    empty.onFirstShow();
    EXPECT_EQ(empty.lvValidationSettings->topLevelItemCount(), 0);
    EXPECT_EQ(empty.m_selectedIndex, -1);
}

TEST(EditValidationSettings, WritesBackOnlyOnOK) {
    RuleSettings list;
    addDefaultValidationSettings(list);
    const auto before = snap(list);
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm ? "OK" : "Cancel");
        answerModal<RuleSettingsDialog>([confirm](RuleSettingsDialog* form) {
            form->lvValidationSettings->setCurrentItem(
                form->lvValidationSettings->topLevelItem(50));
            form->cbReportType->setCurrentIndex(0);
            form->cbEnabled->setCurrentIndex(1);
            confirm ? form->accept() : form->reject();
        });
        EXPECT_EQ(editValidationSettings(list), confirm);
        if (!confirm) {
            EXPECT_EQ(snap(list), before);
        }
    }
    auto after = before;
    after[50].reportType = 1;
    after[50].enabled = false;
    EXPECT_EQ(snap(list), after);

    // Confirmed without changes: the same settings.
    answerModal<RuleSettingsDialog>([](RuleSettingsDialog* form) { form->accept(); });
    EXPECT_TRUE(editValidationSettings(list));
    EXPECT_EQ(snap(list), after);
}

TEST(SetupForm, FormShowPullsTimeoutsIntoRange) {
    SetupDialog form;
    form.m_loadTimeout = 50;
    form.m_unloadTimeout = 700000;
    form.onFirstShow();
    EXPECT_EQ(form.seLoadTimeout->value(), 100);
    EXPECT_EQ(form.seUnloadTimeout->value(), 600000);
    form.m_loadTimeout = -5;
    form.m_unloadTimeout = 2500;
    form.onFirstShow();
    EXPECT_EQ(form.seLoadTimeout->value(), 100);
    EXPECT_EQ(form.seUnloadTimeout->value(), 2500);
}

TEST(SetupForm, TypedTimeoutsAreConfirmedWithinRange) {
    struct Case {
        const char* typed;
        std::int32_t confirmed;
    };
    for (const Case& c : {Case{"50", 100}, Case{"700000", 600000}, Case{"abc", 100}, Case{"", 100},
                          Case{"2500", 2500}, Case{"99999999999999", 600000}}) {
        SCOPED_TRACE(c.typed);
        SetupDialog form;
        form.m_loadTimeout = 15000;
        form.m_unloadTimeout = 15000;
        form.m_playTimeout = 0;
        form.m_stopTimeout = -1;
        form.onFirstShow();
        form.seLoadTimeout->findChild<QLineEdit*>()->setText(c.typed);
        form.btnOKClick();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.m_loadTimeout, c.confirmed);
        EXPECT_EQ(form.m_unloadTimeout, 15000);
        EXPECT_EQ(form.m_playTimeout, 0);
        EXPECT_EQ(form.m_stopTimeout, -1);
    }
}

TEST(SetupForm, RuleChangesStayWhenTheSetupIsCancelled) {
    RuleSettings list;
    addDefaultValidationSettings(list);
    std::int32_t load = 15000, unload = 15000, play = 5000, stop = 5000;
    answerModal<SetupDialog>([](SetupDialog* setup) {
        setup->seLoadTimeout->setValue(999);
        answerModal<RuleSettingsDialog>([](RuleSettingsDialog* rules) {
            rules->lvValidationSettings->setCurrentItem(
                rules->lvValidationSettings->topLevelItem(78));  // rule 440
            rules->cbEnabled->setCurrentIndex(1);
            rules->accept();
        });
        setup->btnAdvancedClick();
        setup->reject();
    });
    EXPECT_FALSE(showSetupDialog(0, load, unload, play, stop, list));
    EXPECT_EQ(load, 15000);
    EXPECT_FALSE(list.getValidationSettingFromId(440)->enabled);
}

TEST(SetupForm, AdvancedWithoutAListOnlyWritesItsLine) {
    testsupport::DebugCapture capture;
    SetupDialog form;
    form.btnAdvancedClick();
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"vyr: Error in TSetupFrm.btnAdvancedClick call..."});
}

}  // namespace
