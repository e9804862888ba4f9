// The plug-in's two settings dialogs, driven through their handlers; the modal parts are
// answered from a timer.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <functional>

#include "ModalAnswer.h"
#include "plugin/SetupForm.h"
#include "plugin/ValidationSettings.h"
#include "plugin/ValidationSettingsForm.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "tests/support/TestEnvironment.h"

using plugintest::AnswerModal;

namespace {

struct Snapshot {
    std::int32_t ID;
    std::int32_t ReportType;
    bool Enabled;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> Snap(const TValidationSettingList& List) {
    std::vector<Snapshot> Out;
    for (std::int32_t i = 0; i < List.Count(); ++i) {
        const TValidationSetting* S = List.GetValidationSetting(i);
        Out.push_back({S->ID, S->ReportType, S->Enabled});
    }
    return Out;
}

// The rule dialog shown on List, with a working copy, as EditValidationSettings prepares it.
class RuleDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddDefaultValidationSettings(List);
        ASSERT_TRUE(Working.AssignValidationSettingList(List));
        Form.FValidationSettingList = &List;
        Form.FWorkingValidationSettingList = &Working;
    }
    int RowOf(std::int32_t ID) {
        for (int i = 0; i < List.Count(); ++i)
            if (List.GetValidationSetting(i)->ID == ID) return i;
        return -1;
    }
    void Select(std::int32_t ID) {
        Form.lvValidationSettings->setCurrentItem(
            Form.lvValidationSettings->topLevelItem(RowOf(ID)));
    }
    QString Cell(std::int32_t ID, int Column) {
        return Form.lvValidationSettings->topLevelItem(RowOf(ID))->text(Column);
    }

    TValidationSettingList List;
    TValidationSettingList Working;
    TValidationSettingsForm Form;
};

TEST_F(RuleDialogTest, FormShowListsEveryRuleAndShowsTheFirst) {
    List.GetValidationSetting(RowOf(402))->ReportType = 7;
    Working.GetValidationSettingFromID(402)->ReportType = 7;
    List.GetValidationSetting(RowOf(427))->Enabled = false;
    Form.FormShow();
    ASSERT_EQ(Form.lvValidationSettings->topLevelItemCount(), 79);
    EXPECT_EQ(Form.lvValidationSettings->headerItem()->text(4), "Description");
    EXPECT_EQ(Cell(101, 0), "101");
    EXPECT_EQ(Cell(101, 1), "Start validation information");
    EXPECT_EQ(Cell(101, 2), "Info");
    EXPECT_EQ(Cell(101, 3), "Yes");
    EXPECT_EQ(Cell(101, 4), "Start validation information");
    EXPECT_EQ(Cell(402, 2), "Unknown");
    EXPECT_EQ(Cell(427, 3), "No");
    EXPECT_EQ(Cell(440, 2), "Error");
    EXPECT_EQ(Form.FSelectedIndex, 0);
    EXPECT_EQ(Form.edID->text(), "101");
    EXPECT_EQ(Form.edName->text(), "Start validation information");
}

TEST_F(RuleDialogTest, InfoRulesOfferOnlyTheirSwitch) {
    Form.FormShow();
    for (std::int32_t ID : {101, 102, 103, 301, 315, 329}) {
        SCOPED_TRACE(ID);
        Select(ID);
        EXPECT_EQ(Form.edID->text(), QString::number(ID));
        EXPECT_FALSE(Form.cbReportType->isEnabled());
        EXPECT_TRUE(Form.cbEnabled->isEnabled());
        EXPECT_EQ(Form.cbReportType->currentText(), "Info");
    }
    for (std::int32_t ID : {104, 201, 401, 402, 440}) {
        SCOPED_TRACE(ID);
        Select(ID);
        EXPECT_TRUE(Form.cbReportType->isEnabled());
        EXPECT_EQ(Form.cbReportType->currentText(), "Error");
    }
}

TEST_F(RuleDialogTest, EditsGoToTheWorkingCopyAndTheRow) {
    Form.FormShow();
    Select(404);
    Form.cbReportType->setCurrentIndex(1);  // "Warning", through its change handler
    Form.cbEnabled->setCurrentIndex(1);     // "No"
    EXPECT_EQ(Working.GetValidationSettingFromID(404)->ReportType, 2);
    EXPECT_FALSE(Working.GetValidationSettingFromID(404)->Enabled);
    EXPECT_EQ(Cell(404, 2), "Warning");
    EXPECT_EQ(Cell(404, 3), "No");
    // The caller's list is untouched until the dialog is confirmed.
    EXPECT_EQ(List.GetValidationSettingFromID(404)->ReportType, 3);
    EXPECT_TRUE(List.GetValidationSettingFromID(404)->Enabled);

    // Showing another row is not an edit.
    Select(101);
    EXPECT_EQ(Working.GetValidationSettingFromID(101)->ReportType, 1);
    EXPECT_EQ(Working.GetValidationSettingFromID(404)->ReportType, 2);
}

TEST_F(RuleDialogTest, AnUnknownTypeLeavesTheDropDownAsItWas) {
    Working.GetValidationSettingFromID(402)->ReportType = 7;
    Form.FormShow();
    Select(404);
    Form.cbReportType->setCurrentIndex(1);
    Select(402);
    EXPECT_EQ(Form.cbReportType->currentText(), "Warning");
    EXPECT_EQ(Working.GetValidationSettingFromID(402)->ReportType, 7);
}

TEST_F(RuleDialogTest, HandlersWithoutARowOrListDoNothing) {
    Form.cbReportTypePropertiesChange();  // nothing shown yet
    Form.UpdateSelected(500);
    Form.UpdateSelected(-1);
    EXPECT_EQ(Snap(Working), Snap(List));
    TValidationSettingsForm Empty;
    TValidationSettingList None;
    Empty.FValidationSettingList = &None;
    Empty.FWorkingValidationSettingList = &None;
    Empty.FormShow();
    EXPECT_EQ(Empty.lvValidationSettings->topLevelItemCount(), 0);
    EXPECT_EQ(Empty.FSelectedIndex, -1);
}

TEST(EditValidationSettings, WritesBackOnlyOnOK) {
    TValidationSettingList List;
    AddDefaultValidationSettings(List);
    const auto Before = Snap(List);
    for (const bool Confirm : {false, true}) {
        SCOPED_TRACE(Confirm ? "OK" : "Cancel");
        AnswerModal<TValidationSettingsForm>([Confirm](TValidationSettingsForm* Form) {
            Form->lvValidationSettings->setCurrentItem(
                Form->lvValidationSettings->topLevelItem(50));
            Form->cbReportType->setCurrentIndex(0);
            Form->cbEnabled->setCurrentIndex(1);
            Confirm ? Form->accept() : Form->reject();
        });
        EXPECT_EQ(EditValidationSettings(List), Confirm);
        if (!Confirm) {
            EXPECT_EQ(Snap(List), Before);
        }
    }
    auto After = Before;
    After[50].ReportType = 1;
    After[50].Enabled = false;
    EXPECT_EQ(Snap(List), After);

    // Confirmed without changes: the same settings.
    AnswerModal<TValidationSettingsForm>([](TValidationSettingsForm* Form) { Form->accept(); });
    EXPECT_TRUE(EditValidationSettings(List));
    EXPECT_EQ(Snap(List), After);
}

TEST(SetupForm, FormShowPullsTimeoutsIntoRange) {
    TSetupFrm Form;
    Form.LoadTimeout = 50;
    Form.UnloadTimeout = 700000;
    Form.FormShow();
    EXPECT_EQ(Form.seLoadTimeout->value(), 100);
    EXPECT_EQ(Form.seUnloadTimeout->value(), 600000);
    Form.LoadTimeout = -5;
    Form.UnloadTimeout = 2500;
    Form.FormShow();
    EXPECT_EQ(Form.seLoadTimeout->value(), 100);
    EXPECT_EQ(Form.seUnloadTimeout->value(), 2500);
}

TEST(SetupForm, TypedTimeoutsAreConfirmedWithinRange) {
    struct Case {
        const char* typed;
        std::int32_t confirmed;
    };
    for (const Case& C : {Case{"50", 100}, Case{"700000", 600000}, Case{"abc", 100}, Case{"", 100},
                          Case{"2500", 2500}, Case{"99999999999999", 600000}}) {
        SCOPED_TRACE(C.typed);
        TSetupFrm Form;
        Form.LoadTimeout = 15000;
        Form.UnloadTimeout = 15000;
        Form.PlayTimeout = 0;
        Form.StopTimeout = -1;
        Form.FormShow();
        Form.seLoadTimeout->findChild<QLineEdit*>()->setText(C.typed);
        Form.btnOKClick();
        EXPECT_EQ(Form.result(), QDialog::Accepted);
        EXPECT_EQ(Form.LoadTimeout, C.confirmed);
        EXPECT_EQ(Form.UnloadTimeout, 15000);
        EXPECT_EQ(Form.PlayTimeout, 0);
        EXPECT_EQ(Form.StopTimeout, -1);
    }
}

TEST(SetupForm, RuleChangesStayWhenTheSetupIsCancelled) {
    TValidationSettingList List;
    AddDefaultValidationSettings(List);
    std::int32_t Load = 15000, Unload = 15000, Play = 5000, Stop = 5000;
    AnswerModal<TSetupFrm>([](TSetupFrm* Setup) {
        Setup->seLoadTimeout->setValue(999);
        AnswerModal<TValidationSettingsForm>([](TValidationSettingsForm* Rules) {
            Rules->lvValidationSettings->setCurrentItem(
                Rules->lvValidationSettings->topLevelItem(78));  // rule 440
            Rules->cbEnabled->setCurrentIndex(1);
            Rules->accept();
        });
        Setup->btnAdvancedClick();
        Setup->reject();
    });
    EXPECT_FALSE(ShowSetupForm(0, Load, Unload, Play, Stop, List));
    EXPECT_EQ(Load, 15000);
    EXPECT_FALSE(List.GetValidationSettingFromID(440)->Enabled);
}

TEST(SetupForm, AdvancedWithoutAListOnlyWritesItsLine) {
    testsupport::DebugCapture Capture;
    TSetupFrm Form;
    Form.btnAdvancedClick();
    EXPECT_EQ(Capture.lines(),
              std::vector<std::string>{"vyr: Error in TSetupFrm.btnAdvancedClick call..."});
}

}  // namespace
