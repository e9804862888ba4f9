// Validation runs through the real Sievra.zkx: findings in order, rule settings and time-outs
// from the registry, and the waits of the object against a worker held inside a run.

#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>

#include "ModalAnswer.h"
#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using namespace plugintest;
using namespace std::chrono_literals;
using testsupport::StlFileBuilder;

namespace {

constexpr const char* SIEVRA_KEY = "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra";
constexpr const char* RULES_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";

class ValidationContractTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.ok()) << module.error(); }

    // Creates the object (after the test has prepared the registry) and hands it the sink.
    void create() {
        control = module.create();
        ASSERT_TRUE(control);
        auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
        ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
    }
    void setDWord(const char* key, const char* name, std::uint32_t value) {
        auto k = platform::RegistryKey::open(key, true);
        ASSERT_TRUE(k && k->writeDWord(name, value));
    }
    std::optional<std::uint32_t> dword(const char* key, const char* name) {
        auto k = platform::RegistryKey::open(key, false);
        std::uint32_t v = 0;
        if (k && k->readDWord(name, v)) return v;
        return std::nullopt;
    }
    // Two blocks with findings of their own: CS 5 in block 0, VP 120 in block 1; DSC 3 in the
    // GSI and a code page that does not convert.
    std::string problemFile() {
        StlFileBuilder b;
        b.gsi(gsi::displayStandardCode, "3").gsi(gsi::codePageNumber, "8x0");
        StlFileBuilder::Block first;
        first.number = 1;
        first.cumulative = 5;
        first.in[2] = 1;
        first.out[2] = 2;
        StlFileBuilder::Block second;
        second.number = 2;
        second.vertical = 120;
        second.in[2] = 3;
        second.out[2] = 4;
        return b.addBlock(first).addBlock(second).announce(2).writeTo(dir.file("problems.stl"));
    }
    std::string cleanFile(int blocks) {
        return StlFileBuilder().addBlocks(blocks).writeTo(dir.file("clean.stl"));
    }
    void releaseObject() { control.reset(); }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    SievraModule module;
    ReportRecorder sink;
    InterfaceRef<IQuorvexControl> control;
};

TEST_F(ValidationContractTest, FullRunSendsFindingsInOrderWithPrefixesAndTypes) {
    create();
    const std::string file = problemFile();
    ASSERT_EQ(control->LoadFile(file.c_str()), S_OK);
    std::int64_t duration = -1, position = -1;
    EXPECT_EQ(control->GetMediaDuration(&duration), S_OK);
    EXPECT_EQ(duration, 30'000'000);  // 00:00:01:00 to 00:00:04:00
    EXPECT_EQ(control->GetMediaPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
    double progress = -1;
    EXPECT_EQ(control->GetProgress(&progress), S_OK);
    EXPECT_EQ(progress, 0.0);

    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(waitForProgress100(control.get()));
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(control->UnloadFile(), S_OK);

    std::vector<int> expected = {101, 102};
    for (int rule = 301; rule <= 329; ++rule) expected.push_back(rule);
    expected.insert(expected.end(), {402, 404, 427, 438, 103});
    const auto findings = sink.findings();
    ASSERT_EQ(sink.rules(), expected);

    for (const auto& f : findings) EXPECT_EQ(f.module, 7);
    std::smatch m;
    EXPECT_TRUE(
        std::regex_match(findings[0].message, m,
                         std::regex(R"(\[101\] Start validation at \S.*  \d\d\.\d\d\.\d{4})")))
        << findings[0].message;
    EXPECT_EQ(findings[1].message, "[102] Loading File: " + file);
    EXPECT_EQ(findings[2].message, "[301] GSI - Code Page Number : 8x0");
    EXPECT_EQ(findings[1].type, 1);
    EXPECT_EQ(findings[2].type, 1);
    EXPECT_EQ(findings[31].message, "[402] Invalid GSI - Code Page Number value = 8x0");
    EXPECT_EQ(findings[32].message, "[404] Invalid GSI - Display Standard Code = 3");
    EXPECT_EQ(findings[33].message, "[427] TTI # 0 - Invalid Cumulative Status = 5");
    EXPECT_EQ(findings[34].message, "[438] TTI # 1 - Invalid Vertical Position value = 120");
    EXPECT_EQ(findings[34].type, 3);
    EXPECT_EQ(findings.back().message, "[103] Unloading File.");
    // The object's own findings come from the host's thread, the reader's and the
    // validator's from the worker.
    EXPECT_TRUE(findings[0].onCallerThread);
    EXPECT_FALSE(findings[2].onCallerThread);
    EXPECT_FALSE(findings[33].onCallerThread);
    EXPECT_TRUE(findings.back().onCallerThread);
}

TEST_F(ValidationContractTest, SecondPlayRunsAgainAndSecondLoadReplacesTheWorker) {
    create();
    const std::string file = problemFile();
    ASSERT_EQ(control->LoadFile(file.c_str()), S_OK);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(waitForProgress100(control.get()));
    sink.clear();
    // Progress still reads 100 from the first run; the stop is taken only after the second.
    ASSERT_EQ(control->Play(), S_OK);
    double progress = -1;
    EXPECT_EQ(control->GetProgress(&progress), S_OK);
    EXPECT_EQ(progress, 100.0);
    ASSERT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(sink.rules(), (std::vector<int>{402, 404, 427, 438}));

    sink.clear();
    ASSERT_EQ(control->LoadFile(file.c_str()), S_OK);
    EXPECT_EQ(control->GetProgress(&progress), S_OK);
    EXPECT_EQ(progress, 0.0);
    EXPECT_EQ(sink.rules().size(), 31u);
}

TEST_F(ValidationContractTest, SinkSetAfterLoadGetsOnlyTheObjectsOwnFindings) {
    control = module.create();
    ASSERT_EQ(control->LoadFile(problemFile().c_str()), S_OK);
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(waitForProgress100(control.get()));
    ASSERT_EQ(control->UnloadFile(), S_OK);
    EXPECT_EQ(sink.rules(), std::vector<int>{103});
}

// Rule settings read from the registry when the object is created.
struct RegistryRuleCase {
    const char* name;
    const char* value;
    platform::RegValue stored;
    int rule;
    int expectedType;  // -1: the finding must not arrive
    std::optional<std::uint32_t> storedAfterCreate;
};

class RegistryRuleTest : public ValidationContractTest,
                         public ::testing::WithParamInterface<RegistryRuleCase> {};

TEST_P(RegistryRuleTest, AppliesToTheFindingsOfItsRule) {
    const auto& c = GetParam();
    {
        auto k = platform::RegistryKey::open(RULES_KEY, true);
        ASSERT_TRUE(k && k->write(c.value, c.stored));
    }
    create();
    if (c.storedAfterCreate) {
        EXPECT_EQ(dword(RULES_KEY, c.value), c.storedAfterCreate);
    }
    ASSERT_EQ(control->LoadFile(problemFile().c_str()), S_OK);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(waitForProgress100(control.get()));
    std::vector<Finding> ofRule;
    for (const auto& f : sink.findings())
        if (f.rule() == c.rule) ofRule.push_back(f);
    if (c.expectedType < 0) {
        EXPECT_TRUE(ofRule.empty());
    } else {
        ASSERT_EQ(ofRule.size(), 1u);
        EXPECT_EQ(ofRule[0].type, c.expectedType);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contract, RegistryRuleTest,
    ::testing::Values(
        RegistryRuleCase{"Type7", "402_Type", platform::RegValue::fromDWord(7), 402, 7, 7},
        RegistryRuleCase{"Warning", "404_Type", platform::RegValue::fromDWord(2), 404, 2, 2},
        RegistryRuleCase{"Disabled", "427_Enabled", platform::RegValue::fromDWord(0), 427, -1, 0},
        RegistryRuleCase{"AnyNonZeroEnables", "427_Enabled", platform::RegValue::fromDWord(9), 427,
                         3, 9},
        RegistryRuleCase{"DisabledStartFinding", "101_Enabled", platform::RegValue::fromDWord(0),
                         101, -1, 0},
        // A string where a DWORD belongs is replaced by the current setting.
        RegistryRuleCase{"StringEnabledRewritten", "402_Enabled",
                         platform::RegValue::fromString("0"), 402, 3, 1},
        // The type of an Info rule is not editable and never read.
        RegistryRuleCase{"InfoTypeIgnored", "301_Type", platform::RegValue::fromDWord(3), 301, 1,
                         3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ValidationContractTest, MissingTimeoutsAreCreatedWithDefaultsAndBadTypesReplaced) {
    {
        auto k = platform::RegistryKey::open(SIEVRA_KEY, true);
        ASSERT_TRUE(k && k->writeString("STOP_TIMEOUT_MS", "fast"));
        ASSERT_TRUE(k->writeDWord("LOAD_FILE_TIMEOUT_MS", 1234));
    }
    create();
    EXPECT_EQ(dword(SIEVRA_KEY, "LOAD_FILE_TIMEOUT_MS"), 1234u);
    EXPECT_EQ(dword(SIEVRA_KEY, "UNLOAD_FILE_TIMEOUT_MS"), 15000u);
    EXPECT_EQ(dword(SIEVRA_KEY, "PLAY_TIMEOUT_MS"), 5000u);
    EXPECT_EQ(dword(SIEVRA_KEY, "STOP_TIMEOUT_MS"), 5000u);
    // The first object on a machine writes the defaults of what the registry may change: every
    // rule's switch, but the type only of the 47 rules whose type is editable.
    EXPECT_EQ(dword(RULES_KEY, "440_Enabled"), 1u);
    EXPECT_EQ(dword(RULES_KEY, "440_Type"), 3u);
    EXPECT_EQ(dword(RULES_KEY, "101_Enabled"), 1u);
    EXPECT_EQ(dword(RULES_KEY, "301_Type"), std::nullopt);
    auto rules = platform::RegistryKey::open(RULES_KEY, false);
    ASSERT_TRUE(rules);
    int enabledValues = 0, typeValues = 0;
    for (int id = 0; id < 1000; ++id) {
        enabledValues += rules->valueExists(std::to_string(id) + "_Enabled");
        typeValues += rules->valueExists(std::to_string(id) + "_Type");
    }
    EXPECT_EQ(enabledValues, 79);
    EXPECT_EQ(typeValues, 47);
    // Going, an object that changed nothing adds nothing.
    releaseObject();
    EXPECT_EQ(dword(RULES_KEY, "301_Type"), std::nullopt);
}

TEST_F(ValidationContractTest, UnreadableRegistryLeavesDefaultsAndTheObjectWorks) {
    // A store that cannot be parsed is never overwritten; the object runs on its defaults.
    const std::string path = platform::registryFilePath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "this is not a registry export\n[[[\n";
    create();
    ASSERT_EQ(control->LoadFile(problemFile().c_str()), S_OK);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(waitForProgress100(control.get()));
    EXPECT_EQ(sink.rules().size(), 35u);
    releaseObject();
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "this is not a registry export");
}

// Time-outs that end every wait at once: 0, and values a DWORD holds but a time-out should not.
class ImmediateTimeoutTest : public ValidationContractTest,
                             public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(ImmediateTimeoutTest, PlayEndsOnTheTimeoutPath) {
    setDWord(SIEVRA_KEY, "PLAY_TIMEOUT_MS", GetParam());
    create();
    ASSERT_EQ(control->LoadFile(cleanFile(3).c_str()), S_OK);
    sink.clear();
    StderrCapture err;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(control->Play(), E_FAIL);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(err.contains("vyr: Error in TSievra.Play - timeout."));
    ASSERT_FALSE(sink.findings().empty());
    EXPECT_EQ(sink.findings()[0].message, "[106] Play timeout.");
    EXPECT_EQ(sink.findings()[0].type, 3);
    // The command stayed posted and the worker still takes it.
    EXPECT_TRUE(waitForProgress100(control.get()));
    EXPECT_EQ(control->UnloadFile(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Contract, ImmediateTimeoutTest,
                         ::testing::Values(0u, 0xFFFFFFFFu, 0x80000000u));

// A worker held inside a finding stands for a long run.
TEST_F(ValidationContractTest, StopDuringALongRunTimesOutAndIsAnsweredAfterTheRun) {
    setDWord(SIEVRA_KEY, "STOP_TIMEOUT_MS", 60);
    setDWord(SIEVRA_KEY, "UNLOAD_FILE_TIMEOUT_MS", 60);
    create();
    ASSERT_EQ(control->LoadFile(problemFile().c_str()), S_OK);
    sink.clear();
    sink.holdAt(427);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(sink.waitUntilHeld());
    double progress = -1;
    EXPECT_EQ(control->GetProgress(&progress), S_OK);
    EXPECT_EQ(progress, 0.0);

    StderrCapture err;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(control->Stop(), E_FAIL);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 60ms);
    EXPECT_LT(waited, 2s);
    // The stop is still waiting; unloading waits behind it and times out too, worker kept.
    EXPECT_EQ(control->UnloadFile(), E_FAIL);
    EXPECT_TRUE(err.contains("vyr: Error in TSievra.Stop - timeout."));
    EXPECT_TRUE(err.contains("vyr: Error in TSievra.UnloadFile - timeout."));
    EXPECT_EQ(sink.rules(), (std::vector<int>{402, 404, 427, 107, 103, 105}));
    EXPECT_EQ(control->GetProgress(&progress), S_OK);

    sink.open();
    ASSERT_TRUE(waitForProgress100(control.get()));
    sink.clear();
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(control->UnloadFile(), S_OK);
    EXPECT_EQ(sink.rules(), std::vector<int>{103});
}

TEST_F(ValidationContractTest, ReleaseDuringARunWaitsForTheRunWithoutDeadlock) {
    create();
    ASSERT_EQ(control->LoadFile(problemFile().c_str()), S_OK);
    sink.holdAt(438);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(sink.waitUntilHeld());
    std::thread opener([&] {
        std::this_thread::sleep_for(100ms);
        sink.open();
    });
    const auto start = std::chrono::steady_clock::now();
    releaseObject();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);
    opener.join();
    EXPECT_EQ(sink.refs(), 0);
    EXPECT_EQ(sink.rules().back(), 438);
}

TEST_F(ValidationContractTest, LoadTimeoutSendsItsFinding) {
    setDWord(SIEVRA_KEY, "LOAD_FILE_TIMEOUT_MS", 40);
    create();
    sink.holdAt(305);  // the reader's GSI lines come during the load
    StderrCapture err;
    EXPECT_EQ(control->LoadFile(problemFile().c_str()), E_FAIL);
    EXPECT_TRUE(err.contains("vyr: Error in TSievra.LoadFile - timeout."));
    sink.open();
    auto rules = sink.rules();
    ASSERT_GE(rules.size(), 3u);
    EXPECT_EQ(std::count(rules.begin(), rules.end(), 104), 1);
    // The load goes on in the background; the worker exists, so the file can be validated.
    const auto end = std::chrono::steady_clock::now() + 10s;
    HRESULT played = E_FAIL;
    while (played != S_OK && std::chrono::steady_clock::now() < end) played = control->Play();
    EXPECT_EQ(played, S_OK);
    EXPECT_TRUE(waitForProgress100(control.get()));
}

// Configure shows the setup dialog modally; the test answers it from a timer.
class ConfigureTest : public ValidationContractTest {
protected:
    void answerDialog(std::function<void(QDialog*)> answer) {
        answerModal<QDialog>(std::move(answer));
    }
};

TEST_F(ConfigureTest, CancelKeepsTheTimeouts) {
    create();
    bool shown = false;
    answerDialog([&](QDialog* d) {
        shown = true;
        for (auto* spin : d->findChildren<QSpinBox*>()) spin->setValue(777);
        d->reject();
    });
    EXPECT_EQ(control->Configure(0), S_OK);
    EXPECT_TRUE(shown);
    releaseObject();
    EXPECT_EQ(dword(SIEVRA_KEY, "LOAD_FILE_TIMEOUT_MS"), 15000u);
    EXPECT_EQ(dword(SIEVRA_KEY, "UNLOAD_FILE_TIMEOUT_MS"), 15000u);
}

TEST_F(ConfigureTest, ConfirmedTimeoutsAreSavedWhenTheObjectGoes) {
    create();
    answerDialog([&](QDialog* d) {
        auto spins = d->findChildren<QSpinBox*>();
        ASSERT_EQ(spins.size(), 2);
        spins[0]->setValue(2500);
        spins[1]->setValue(3500);
        for (auto* button : d->findChildren<QPushButton*>())
            if (button->text() == "OK") button->click();
    });
    // An unknown owner handle leaves the dialog without an owner.
    EXPECT_EQ(control->Configure(0xDEADBEEF), S_OK);
    // Not written before the object goes.
    EXPECT_EQ(dword(SIEVRA_KEY, "LOAD_FILE_TIMEOUT_MS"), 15000u);
    releaseObject();
    EXPECT_EQ(dword(SIEVRA_KEY, "LOAD_FILE_TIMEOUT_MS"), 2500u);
    EXPECT_EQ(dword(SIEVRA_KEY, "UNLOAD_FILE_TIMEOUT_MS"), 3500u);
    EXPECT_EQ(dword(SIEVRA_KEY, "PLAY_TIMEOUT_MS"), 5000u);
}

}  // namespace
