// The rule settings list: the default table, the gate every finding passes, and the registry.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "plugin/ValidationSettings.h"
#include "tests/support/TestEnvironment.h"

using plugintest::ReportRecorder;

namespace {

constexpr const char* RULES_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";

class SettingsListTest : public ::testing::Test {
protected:
    void SetUp() override { AddDefaultValidationSettings(List); }
    std::optional<std::uint32_t> Stored(const std::string& Name) {
        auto Key = platform::RegistryKey::open(RULES_KEY, false);
        std::uint32_t Value = 0;
        if (Key && Key->readDWord(Name, Value)) return Value;
        return std::nullopt;
    }
    void Store(const std::string& Name, const platform::RegValue& Value) {
        auto Key = platform::RegistryKey::open(RULES_KEY, true);
        ASSERT_TRUE(Key && Key->write(Name, Value));
    }

    testsupport::ScopedConfigHome Config;
    TValidationSettingList List;
    ReportRecorder Sink;
};

TEST_F(SettingsListTest, DefaultTableHasTheSeventyNineRulesInOrder) {
    ASSERT_EQ(List.Count(), 79);
    std::vector<std::int32_t> Expected;
    for (auto [First, Last] : {std::pair{101, 107}, {201, 203}, {301, 329}, {401, 440}})
        for (std::int32_t ID = First; ID <= Last; ++ID) Expected.push_back(ID);
    int EditableTypes = 0;
    for (std::int32_t i = 0; i < List.Count(); ++i) {
        const TValidationSetting& S = *List.GetValidationSetting(i);
        SCOPED_TRACE(S.ID);
        EXPECT_EQ(S.ID, Expected[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(S.Enabled);
        EXPECT_TRUE(S.EnabledEditable);
        EXPECT_EQ(S.Reserved, 0);
        EXPECT_EQ(S.Description, S.Name);
        EXPECT_FALSE(S.Name.empty());
        const bool Info = (S.ID >= 101 && S.ID <= 103) || (S.ID >= 301 && S.ID <= 329);
        EXPECT_EQ(S.ReportType, Info ? 1 : 3);
        EXPECT_EQ(S.ReportTypeEditable, !Info);
        EditableTypes += S.ReportTypeEditable;
    }
    EXPECT_EQ(EditableTypes, 47);
    EXPECT_EQ(List.GetValidationSettingFromID(425)->Name, "TTI - Dublicate Subtitle Number check");
    EXPECT_EQ(List.GetValidationSettingFromID(310)->Name, "GSI - Translator's Name information");
    EXPECT_EQ(List.GetValidationSettingFromID(401)->Name,
              "STL file size and Text And Timing Information blocks count check");
}

TEST_F(SettingsListTest, ReportGatesPrefixesAndRetypes) {
    EXPECT_EQ(List.Report(7, 3, "lost", 402), E_FAIL);  // no sink yet
    ASSERT_EQ(List.SetQuorvexReport(&Sink), S_OK);
    List.GetValidationSettingFromID(402)->ReportType = 2;
    List.GetValidationSettingFromID(427)->Enabled = false;

    EXPECT_EQ(List.Report(7, 3, "Invalid", 402), S_OK);
    EXPECT_EQ(List.Report(7, 3, "dropped", 427), S_OK);
    EXPECT_EQ(List.Report(7, 1, "not a rule", 999), S_OK);
    EXPECT_EQ(List.Report(7, 2, "small", 7), S_OK);
    EXPECT_EQ(List.Report(7, 3, "", 1234), S_OK);
    const auto F = Sink.findings();
    ASSERT_EQ(F.size(), 4u);
    EXPECT_EQ(F[0].Message, "[402] Invalid");
    EXPECT_EQ(F[0].Type, 2);
    EXPECT_EQ(F[1].Message, "[999] not a rule");
    EXPECT_EQ(F[1].Type, 1);
    EXPECT_EQ(F[2].Message, "[007] small");
    EXPECT_EQ(F[2].Type, 2);
    EXPECT_EQ(F[3].Message, "[1234] ");
    for (const auto& Finding : F) EXPECT_EQ(Finding.Module, 7);

    // The sink's answer is passed on.
    Sink.setResult(E_NOTIMPL);
    EXPECT_EQ(List.Report(7, 3, "x", 440), E_NOTIMPL);
}

TEST_F(SettingsListTest, SinkReferencesAreKeptAndGivenBack) {
    ReportRecorder Other;
    {
        TValidationSettingList Own;
        ASSERT_EQ(Own.SetQuorvexReport(&Sink), S_OK);
        EXPECT_EQ(Sink.refs(), 1);
        testsupport::DebugCapture Capture;
        EXPECT_EQ(Own.SetQuorvexReport(nullptr), E_INVALIDARG);
        EXPECT_TRUE(
            Capture.contains("vyr: Error in TValidationSettingList.SetQuorvexReport call..."));
        EXPECT_EQ(Sink.refs(), 1);
        ASSERT_EQ(Own.SetQuorvexReport(&Other), S_OK);
        EXPECT_EQ(Sink.refs(), 0);
        EXPECT_EQ(Own.Report(7, 3, "to the new sink", 999), S_OK);
    }
    EXPECT_EQ(Other.refs(), 0);
    EXPECT_EQ(Other.findings().size(), 1u);
    EXPECT_TRUE(Sink.findings().empty());
}

TEST_F(SettingsListTest, LookupsAndCopies) {
    EXPECT_EQ(List.GetValidationSetting(List.Count()), nullptr);
    EXPECT_EQ(List.GetValidationSetting(-1), nullptr);
    EXPECT_EQ(List.GetValidationSettingFromID(100), nullptr);

    TValidationSetting Twin = *List.GetValidationSettingFromID(402);
    Twin.ReportType = 1;
    ASSERT_TRUE(List.AddItem(Twin));
    EXPECT_EQ(List.GetValidationSettingFromID(402)->ReportType, 3);  // the first wins

    TValidationSettingList Copy;
    ASSERT_TRUE(Copy.AssignValidationSettingList(List));
    ASSERT_EQ(Copy.Count(), 80);
    EXPECT_NE(Copy.GetValidationSetting(0), List.GetValidationSetting(0));  // copies, not shares
    Copy.GetValidationSetting(0)->Enabled = false;
    EXPECT_TRUE(List.GetValidationSetting(0)->Enabled);

    TValidationSettingList Empty;
    ASSERT_TRUE(Copy.AssignValidationSettingList(Empty));
    EXPECT_EQ(Copy.Count(), 0);
}

TEST_F(SettingsListTest, FirstLoadWritesTheEditableDefaults) {
    ASSERT_TRUE(List.LoadFromRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(Stored("101_Enabled"), 1u);
    EXPECT_EQ(Stored("101_Type"), std::nullopt);
    EXPECT_EQ(Stored("329_Type"), std::nullopt);
    EXPECT_EQ(Stored("104_Type"), 3u);
    EXPECT_EQ(Stored("440_Enabled"), 1u);
}

TEST_F(SettingsListTest, LoadReadsOnlyEditableFieldsAndRewritesWrongTypes) {
    Store("301_Type", platform::RegValue::fromDWord(3));
    Store("402_Type", platform::RegValue::fromDWord(7));
    Store("402_Enabled", platform::RegValue::fromString("0"));
    Store("403_Enabled", platform::RegValue::fromBinary({0, 0, 0, 0}));
    Store("404_Enabled", platform::RegValue::fromDWord(0));
    Store("405_Enabled", platform::RegValue::fromDWord(0xFFFFFFFF));
    Store("406_Type", platform::RegValue::fromDWord(0xFFFFFFFF));
    ASSERT_TRUE(List.LoadFromRegistry(VALIDATION_SETTINGS_KEY));

    EXPECT_EQ(List.GetValidationSettingFromID(301)->ReportType, 1);
    EXPECT_EQ(List.GetValidationSettingFromID(402)->ReportType, 7);
    EXPECT_TRUE(List.GetValidationSettingFromID(402)->Enabled);
    EXPECT_EQ(Stored("402_Enabled"), 1u);
    EXPECT_TRUE(List.GetValidationSettingFromID(403)->Enabled);
    EXPECT_EQ(Stored("403_Enabled"), 1u);
    EXPECT_FALSE(List.GetValidationSettingFromID(404)->Enabled);
    EXPECT_TRUE(List.GetValidationSettingFromID(405)->Enabled);
    EXPECT_EQ(List.GetValidationSettingFromID(406)->ReportType, -1);

    ASSERT_TRUE(List.SaveToRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(Stored("301_Type"), 1u);
    EXPECT_EQ(Stored("402_Type"), 7u);
    EXPECT_EQ(Stored("404_Enabled"), 0u);
    EXPECT_EQ(Stored("405_Enabled"), 1u);
}

TEST_F(SettingsListTest, UnreadableStoreIsNotAnError) {
    const std::string Path = platform::registryFilePath();
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path) << "garbage\n";
    EXPECT_TRUE(List.LoadFromRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_TRUE(List.SaveToRegistry(VALIDATION_SETTINGS_KEY));
    EXPECT_EQ(List.GetValidationSettingFromID(402)->ReportType, 3);
}

}  // namespace
