// The delivery rules in the plug-in's dialogs, driven with mouse and keys: the setup dialog's
// profile picker and what it says the settings match, the rule dialog's delivery rows with their
// thresholds and counting rules, and what an object writes back afterwards.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <optional>

#include "DialogInput.h"
#include "ModalAnswer.h"
#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "plugin/RuleSettings.h"
#include "plugin/delivery/DeliveryProfiles.h"
#include "plugin/setup/RuleSettingsDialog.h"
#include "plugin/setup/SetupDialog.h"
#include "tests/support/TestEnvironment.h"

using plugintest::answerModal;
using plugintest::clickRule;

namespace {

const QString TELETEXT = QString::fromUtf8("Teletext, 2×37, 15 cps");
const QString STREAMING = QString::fromUtf8("Streaming, 2×42, 17 cps");

void click(QWidget* dialog, const QString& text) {
    for (auto* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text) return QTest::mouseClick(button, Qt::LeftButton);
    ADD_FAILURE() << "no button " << text.toStdString();
}

// Down or Up from the current entry, as a keyboard user picks one.
void choose(QComboBox* box, const QString& text) {
    const int target = box->findText(text);
    ASSERT_GE(target, 0) << text.toStdString();
    for (int i = 0; i < 40 && box->currentIndex() != target; ++i)
        QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_EQ(box->currentText(), text);
}

DeliverySettings profileSettings(const char* key) {
    const auto profile = findProfile(key);
    EXPECT_TRUE(profile);
    return profile ? profile->settings : DeliverySettings{};
}

// Shows the setup dialog through the call Configure makes, answered by Answer.
bool runSetup(DeliverySettings& delivery, const std::function<void(SetupDialog*)>& answer) {
    RuleSettings rules;
    addDefaultValidationSettings(rules);
    std::int32_t load = 15000, unload = 15000, play = 5000, stop = 5000;
    answerModal<SetupDialog>(answer);
    return showSetupDialog(0, load, unload, play, stop, rules, &delivery);
}

TEST(DeliverySetup, APickedProfileIsShownAsMatchedAndTakenOnOK) {
    testsupport::ScopedConfigHome config;
    DeliverySettings delivery;
    EXPECT_TRUE(runSetup(delivery, [](SetupDialog* setup) {
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches no profile");
        EXPECT_EQ(setup->cbProfile->currentIndex(), 0);
        choose(setup->cbProfile, TELETEXT);
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches " + TELETEXT);
        choose(setup->cbProfile, STREAMING);
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches " + STREAMING);
        click(setup, "OK");
    }));
    EXPECT_EQ(delivery, profileSettings("streaming"));

    // Opened again, the dialog finds the profile the settings match.
    EXPECT_FALSE(runSetup(delivery, [](SetupDialog* setup) {
        EXPECT_EQ(setup->cbProfile->currentText(), STREAMING);
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches " + STREAMING);
        choose(setup->cbProfile, TELETEXT);
        click(setup, "Cancel");
    }));
    EXPECT_EQ(delivery, profileSettings("streaming"));
}

TEST(DeliverySetup, AThresholdChangedInTheRuleDialogNoLongerMatches) {
    testsupport::ScopedConfigHome config;
    DeliverySettings delivery = profileSettings("teletext");
    EXPECT_TRUE(runSetup(delivery, [](SetupDialog* setup) {
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches " + TELETEXT);
        answerModal<RuleSettingsDialog>([](RuleSettingsDialog* rules) {
            clickRule(rules->lvValidationSettings, 505);
            EXPECT_TRUE(rules->edThreshold->isVisible());
            EXPECT_EQ(rules->edThreshold->text(), "15");
            QTest::keyClick(rules->edThreshold, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(rules->edThreshold, "13");
            click(rules, "OK");
        });
        click(setup, "Advanced");
        EXPECT_EQ(setup->lbProfileMatch->text(), "Matches no profile");
        EXPECT_EQ(setup->cbProfile->currentIndex(), 0);
        click(setup, "OK");
    }));
    EXPECT_EQ(delivery.find(505)->threshold, 13);
}

TEST(DeliveryRuleDialog, ListsTheDeliveryRulesWithTheirCountingRulesAndThresholds) {
    RuleSettings rules;
    addDefaultValidationSettings(rules);
    DeliverySettings delivery;
    answerModal<RuleSettingsDialog>([](RuleSettingsDialog* form) {
        QTreeWidget* list = form->lvValidationSettings;
        ASSERT_EQ(list->topLevelItemCount(), 79 + 20);
        EXPECT_EQ(list->topLevelItem(79)->text(0), "501");
        EXPECT_EQ(list->topLevelItem(98)->text(0), "520");
        // A described rule has no threshold field.
        clickRule(list, 425);
        EXPECT_FALSE(form->edThreshold->isVisible());
        // The counting rules are in the description.
        clickRule(list, 505);
        EXPECT_TRUE(form->edDescription->text().contains("spaces between words count"));
        EXPECT_EQ(form->edDescription->toolTip(), form->edDescription->text());
        EXPECT_TRUE(form->cbReportType->isEnabled());
        EXPECT_TRUE(form->cbEnabled->isEnabled());
        choose(form->cbEnabled, "Yes");
        EXPECT_EQ(list->topLevelItem(79 + 4)->text(3), "Yes");
        // Text that is no threshold gives way to the one in force.
        QTest::keyClick(form->edThreshold, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form->edThreshold, "fast");
        QTest::keyClick(form->edThreshold, Qt::Key_Return);
        EXPECT_EQ(form->edThreshold->text(), "17");
        // A reading speed takes decimals; the field says what it takes.
        EXPECT_TRUE(form->edThreshold->toolTip().contains("up to two decimals"));
        QTest::keyClick(form->edThreshold, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form->edThreshold, "15.50");
        QTest::keyClick(form->edThreshold, Qt::Key_Return);
        EXPECT_EQ(form->edThreshold->text(), "15.5");
        clickRule(list, 511);
        EXPECT_EQ(form->edThreshold->text(), "white,yellow,cyan,green");
        QTest::keyClick(form->edThreshold, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form->edThreshold, "white, yellow");
        // A rule without a threshold hides the field.
        clickRule(list, 508);
        EXPECT_FALSE(form->edThreshold->isVisible());
        EXPECT_TRUE(form->edDescription->text().contains("up to its last character"));
        choose(form->cbReportType, "Warning");
        click(form, "OK");
    });
    EXPECT_TRUE(editValidationSettings(rules, nullptr, &delivery));
    DeliverySettings expected;
    expected.find(505)->enabled = true;
    setThresholdHundredths(*expected.find(505), 1550);
    expected.find(511)->threshold = COLOUR_WHITE | COLOUR_YELLOW;
    expected.find(508)->reportType = REPORT_TYPE_WARNING;
    EXPECT_EQ(delivery, expected);
}

// What the real module's object writes back: only the delivery values the dialogs changed.
TEST(DeliveryWriteBack, OnlyTheChangedDeliveryValuesAreWritten) {
    testsupport::ScopedConfigHome config;
    plugintest::SievraModule module;  // the real module, as the host loads it
    ASSERT_TRUE(module.ok()) << module.error();
    auto control = module.create();
    ASSERT_TRUE(control);
    // The module's dialog classes are its own: the dialog is found as a QDialog.
    answerModal<QDialog>([](QDialog* setup) {
        choose(setup->findChild<QComboBox*>(), STREAMING);
        click(setup, "OK");
    });
    EXPECT_EQ(control->Configure(0), S_OK);
    // Meanwhile another process stores a value of a rule the profile leaves as it was.
    {
        auto key = platform::RegistryKey::open(DELIVERY_SETTINGS_KEY, true);
        ASSERT_TRUE(key && key->writeDWord("508_Type", 1));
    }
    control.reset();
    const auto get = [](const char* name) -> std::optional<std::uint32_t> {
        auto key = platform::RegistryKey::open(DELIVERY_SETTINGS_KEY, false);
        std::uint32_t value = 0;
        if (key && key->readDWord(name, value)) return value;
        return std::nullopt;
    };
    EXPECT_EQ(get("505_Enabled"), 1u);
    EXPECT_EQ(get("503_Threshold"), 833u);
    EXPECT_EQ(get("505_Threshold"), std::nullopt);  // 17, as it was
    EXPECT_EQ(get("508_Enabled"), std::nullopt);
    EXPECT_EQ(get("508_Type"), 1u);

    // What a new object reads: the profile, and the other process's value.
    DeliverySettings stored, expected = profileSettings("streaming");
    stored.loadFromRegistry(DELIVERY_SETTINGS_KEY);
    expected.find(508)->reportType = 1;
    EXPECT_EQ(stored, expected);
}

}  // namespace
