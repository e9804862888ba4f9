// The rule settings list: the default table, the gate every finding passes, and the registry.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "plugin/RuleSettings.h"
#include "tests/support/TestEnvironment.h"

using plugintest::ReportRecorder;

namespace {

constexpr const char* RULES_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";

class SettingsListTest : public ::testing::Test {
protected:
    void SetUp() override { addDefaultValidationSettings(list); }
    std::optional<std::uint32_t> stored(const std::string& name) {
        auto key = platform::RegistryKey::open(RULES_KEY, false);
        std::uint32_t value = 0;
        if (key && key->readDWord(name, value)) return value;
        return std::nullopt;
    }
    void store(const std::string& name, const platform::RegValue& value) {
        auto key = platform::RegistryKey::open(RULES_KEY, true);
        ASSERT_TRUE(key && key->write(name, value));
    }

    testsupport::ScopedConfigHome config;
    ReportRecorder sink;  // before the list, which releases it when it goes
    RuleSettings list;
};

TEST_F(SettingsListTest, DefaultTableHasTheSeventyNineRulesInOrder) {
    ASSERT_EQ(list.count(), 79);
    std::vector<std::int32_t> expected;
    for (auto [First, Last] : {std::pair{101, 107}, {201, 203}, {301, 329}, {401, 440}})
        for (std::int32_t id = First; id <= Last; ++id) expected.push_back(id);
    int editableTypes = 0;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const RuleSetting& s = *list.getValidationSetting(i);
        SCOPED_TRACE(s.id);
        EXPECT_EQ(s.id, expected[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(s.enabled);
        EXPECT_TRUE(s.enabledEditable);
        EXPECT_EQ(s.reserved, 0);
        EXPECT_EQ(s.description, s.name);
        EXPECT_FALSE(s.name.empty());
        const bool info = (s.id >= 101 && s.id <= 103) || (s.id >= 301 && s.id <= 329);
        EXPECT_EQ(s.reportType, info ? 1 : 3);
        EXPECT_EQ(s.reportTypeEditable, !info);
        editableTypes += s.reportTypeEditable;
    }
    EXPECT_EQ(editableTypes, 47);
    EXPECT_EQ(list.getValidationSettingFromId(425)->name, "TTI - Dublicate Subtitle Number check");
    EXPECT_EQ(list.getValidationSettingFromId(310)->name, "GSI - Translator's Name information");
    EXPECT_EQ(list.getValidationSettingFromId(401)->name,
              "STL file size and Text And Timing Information blocks count check");
}

TEST_F(SettingsListTest, ReportGatesPrefixesAndRetypes) {
    EXPECT_EQ(list.report(7, 3, "lost", 402), E_FAIL);  // no sink yet
    ASSERT_EQ(list.setQuorvexReport(&sink), S_OK);
    list.getValidationSettingFromId(402)->reportType = 2;
    list.getValidationSettingFromId(427)->enabled = false;

    EXPECT_EQ(list.report(7, 3, "Invalid", 402), S_OK);
    EXPECT_EQ(list.report(7, 3, "dropped", 427), S_OK);
    EXPECT_EQ(list.report(7, 1, "not a rule", 999), S_OK);
    EXPECT_EQ(list.report(7, 2, "small", 7), S_OK);
    EXPECT_EQ(list.report(7, 3, "", 1234), S_OK);
    const auto f = sink.findings();
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].message, "[402] Invalid");
    EXPECT_EQ(f[0].type, 2);
    EXPECT_EQ(f[1].message, "[999] not a rule");
    EXPECT_EQ(f[1].type, 1);
    EXPECT_EQ(f[2].message, "[007] small");
    EXPECT_EQ(f[2].type, 2);
    EXPECT_EQ(f[3].message, "[1234] ");
    for (const auto& finding : f) EXPECT_EQ(finding.module, 7);
    // Zero and negative numbers keep three digits after the sign.
    const std::pair<std::int32_t, std::string> prefixes[] = {
        {0, "[000] "}, {-5, "[-005] "}, {-1234, "[-1234] "}, {INT32_MIN, "[-2147483648] "}};
    for (const auto& [id, prefix] : prefixes) {
        ASSERT_EQ(list.report(7, 3, "n", id), S_OK);
        EXPECT_EQ(sink.findings().back().message, prefix + "n") << id;
    }

    // The sink's answer is passed on.
    sink.setResult(E_NOTIMPL);
    EXPECT_EQ(list.report(7, 3, "x", 440), E_NOTIMPL);
}

TEST_F(SettingsListTest, SinkReferencesAreKeptAndGivenBack) {
    ReportRecorder other;
    {
        RuleSettings own;
        ASSERT_EQ(own.setQuorvexReport(&sink), S_OK);
        EXPECT_EQ(sink.refs(), 1);
        testsupport::DebugCapture capture;
        EXPECT_EQ(own.setQuorvexReport(nullptr), E_INVALIDARG);
        EXPECT_TRUE(
            capture.contains("vyr: Error in TValidationSettingList.SetQuorvexReport call..."));
        EXPECT_EQ(sink.refs(), 1);
        ASSERT_EQ(own.setQuorvexReport(&other), S_OK);
        EXPECT_EQ(sink.refs(), 0);
        EXPECT_EQ(own.report(7, 3, "to the new sink", 999), S_OK);
    }
    EXPECT_EQ(other.refs(), 0);
    EXPECT_EQ(other.findings().size(), 1u);
    EXPECT_TRUE(sink.findings().empty());
}

TEST_F(SettingsListTest, LookupsAndCopies) {
    EXPECT_EQ(list.getValidationSetting(list.count()), nullptr);
    EXPECT_EQ(list.getValidationSetting(-1), nullptr);
    EXPECT_EQ(list.getValidationSettingFromId(100), nullptr);

    RuleSetting twin = *list.getValidationSettingFromId(402);
    twin.reportType = 1;
    ASSERT_TRUE(list.addItem(twin));
    EXPECT_EQ(list.getValidationSettingFromId(402)->reportType, 3);  // the first wins

    RuleSettings copy;
    ASSERT_TRUE(copy.assignValidationSettingList(list));
    ASSERT_EQ(copy.count(), 80);
    EXPECT_NE(copy.getValidationSetting(0), list.getValidationSetting(0));  // copies, not shares
    copy.getValidationSetting(0)->enabled = false;
    EXPECT_TRUE(list.getValidationSetting(0)->enabled);

    RuleSettings empty;
    ASSERT_TRUE(copy.assignValidationSettingList(empty));
    EXPECT_EQ(copy.count(), 0);
}

TEST_F(SettingsListTest, FirstLoadWritesTheEditableDefaults) {
    ASSERT_TRUE(list.loadFromRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(stored("101_Enabled"), 1u);
    EXPECT_EQ(stored("101_Type"), std::nullopt);
    EXPECT_EQ(stored("329_Type"), std::nullopt);
    EXPECT_EQ(stored("104_Type"), 3u);
    EXPECT_EQ(stored("440_Enabled"), 1u);
}

TEST_F(SettingsListTest, LoadReadsOnlyEditableFieldsAndRewritesWrongTypes) {
    store("301_Type", platform::RegValue::fromDWord(3));
    store("402_Type", platform::RegValue::fromDWord(7));
    store("402_Enabled", platform::RegValue::fromString("0"));
    store("403_Enabled", platform::RegValue::fromBinary({0, 0, 0, 0}));
    store("404_Enabled", platform::RegValue::fromDWord(0));
    store("405_Enabled", platform::RegValue::fromDWord(0xFFFFFFFF));
    store("406_Type", platform::RegValue::fromDWord(0xFFFFFFFF));
    ASSERT_TRUE(list.loadFromRegistry(VALIDATION_SETTINGS_KEY));

    EXPECT_EQ(list.getValidationSettingFromId(301)->reportType, 1);
    EXPECT_EQ(list.getValidationSettingFromId(402)->reportType, 7);
    EXPECT_TRUE(list.getValidationSettingFromId(402)->enabled);
    EXPECT_EQ(stored("402_Enabled"), 1u);
    EXPECT_TRUE(list.getValidationSettingFromId(403)->enabled);
    EXPECT_EQ(stored("403_Enabled"), 1u);
    EXPECT_FALSE(list.getValidationSettingFromId(404)->enabled);
    EXPECT_TRUE(list.getValidationSettingFromId(405)->enabled);
    EXPECT_EQ(list.getValidationSettingFromId(406)->reportType, -1);

    ASSERT_TRUE(list.saveToRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(stored("301_Type"), 1u);
    EXPECT_EQ(stored("402_Type"), 7u);
    EXPECT_EQ(stored("404_Enabled"), 0u);
    EXPECT_EQ(stored("405_Enabled"), 1u);
}

TEST_F(SettingsListTest, UnreadableStoreIsNotAnError) {
    const std::string path = platform::registryFilePath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "garbage\n";
    EXPECT_TRUE(list.loadFromRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_TRUE(list.saveToRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(list.getValidationSettingFromId(402)->reportType, 3);
}

}  // namespace
