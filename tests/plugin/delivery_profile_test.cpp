// Delivery settings and profiles: a default run is what it was, the shipped profile files say what
// they promise, and a profile chosen for one run leaves the stored settings alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "DeliveryTestSupport.h"
#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "plugin/delivery/DeliveryProfiles.h"
#include "plugin_api/QuorvexProfileInterface.h"

namespace {

using namespace deliverytest;
namespace fs = std::filesystem;

std::set<std::int32_t> enabledIds(const DeliverySettings& settings) {
    std::set<std::int32_t> ids;
    for (const auto& rule : settings.rules())
        if (rule.enabled) ids.insert(rule.id);
    return ids;
}

std::set<std::int32_t> range(std::int32_t first, std::int32_t last) {
    std::set<std::int32_t> ids;
    for (std::int32_t id = first; id <= last; ++id) ids.insert(id);
    return ids;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DeliveryDefaults, AreAllOffAndLeaveTheFindingsAsTheyWere) {
    const DeliverySettings defaults;
    EXPECT_EQ(defaults.rules().size(), 20u);
    EXPECT_TRUE(enabledIds(defaults).empty());
    // Files full of what the delivery rules look at: overlaps, long rows, broken chains.
    StlFileBuilder::Block broken = subtitle(1, 0, 5,
                                            "\x01Red text that runs on and on and on and on\x8a"
                                            "B\x8a"
                                            "C");
    broken.extension = 0;
    broken.cumulative = 2;
    for (const StlFileBuilder& file :
         {fileOf({subtitle(1, 0, 50), subtitle(2, 10, 11)}), fileOf({broken, subtitle(5, 0, 1)}),
          fileOf({subtitle(1, 0, 0)}).gsi(gsi::displayStandardCode, "3")}) {
        const auto without = validate(file, nullptr);
        EXPECT_EQ(validate(file, &defaults), without);
        for (const auto& f : without) EXPECT_LT(f.id, 501);
    }
}

struct ProfileExpectation {
    const char* key;
    std::set<std::int32_t> enabled;
    std::map<std::int32_t, std::int32_t> thresholds;
};

class ShippedProfile : public ::testing::TestWithParam<ProfileExpectation> {};

TEST_P(ShippedProfile, SwitchesOnItsRulesWithItsThresholds) {
    const auto& expected = GetParam();
    const std::string path = (fs::path(SIEVRA_MODULE_PATH).parent_path() / "profiles" /
                              (std::string(expected.key) + ".ini"))
                                 .string();
    std::string error;
    const auto profile = readProfileFile(path, &error);
    ASSERT_TRUE(profile) << error;
    EXPECT_EQ(profile->key, expected.key);
    EXPECT_EQ(enabledIds(profile->settings), expected.enabled);
    for (const auto& [id, threshold] : expected.thresholds)
        EXPECT_EQ(profile->settings.find(id)->threshold, threshold) << id;

    // Applied to stored settings, the settings then match this profile and no other.
    testsupport::ScopedConfigHome home;
    DeliverySettings settings;
    const auto all = availableProfiles();
    EXPECT_EQ(matchingProfile(settings, all), nullptr);
    applyProfile(*profile, settings);
    const DeliveryProfile* match = matchingProfile(settings, all);
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->key, expected.key);
}

const std::set<std::int32_t> TELETEXT_RULES = [] {
    auto ids = range(501, 520);
    ids.erase(504);
    return ids;
}();
const std::int32_t TELETEXT_COLOURS = COLOUR_WHITE | COLOUR_YELLOW | COLOUR_CYAN | COLOUR_GREEN;

INSTANTIATE_TEST_SUITE_P(
    Profiles, ShippedProfile,
    ::testing::Values(
        ProfileExpectation{
            "teletext",
            TELETEXT_RULES,
            {{502, 1}, {503, 1000}, {505, 15}, {506, 2}, {507, 37}, {511, TELETEXT_COLOURS}}},
        ProfileExpectation{
            "teletext-children",
            TELETEXT_RULES,
            {{502, 1}, {503, 1000}, {505, 11}, {506, 2}, {507, 37}, {511, TELETEXT_COLOURS}}},
        ProfileExpectation{"streaming",
                           {501, 502, 503, 504, 505, 506, 507, 509, 510, 516, 517, 518, 519, 520},
                           {{502, 2}, {503, 833}, {504, 7000}, {505, 17}, {506, 2}, {507, 42}}}),
    [](const auto& info) {
        std::string name = info.param.key;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

TEST(ProfileText, NamesTheFirstBadLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"[profile]\nname = X\n[599]\n", "line 3: unknown rule 599"},
        {"[profile]\nname = X\n[502]\nthreshold = two\n",
         "line 4: bad threshold \"two\" for rule 502: allowed is a whole number of frames"},
        {"[profile]\nname = X\n[502]\nthreshold = 1.5\n",
         "line 4: bad threshold \"1.5\" for rule 502: allowed is a whole number of frames"},
        {"[profile]\nname = X\n[501]\nthreshold = 3\n",
         "line 4: bad threshold \"3\" for rule 501: it has no threshold"},
        {"[profile]\nname = X\n[511]\nthreshold = white, pink\n",
         "line 4: bad threshold \"white, pink\" for rule 511: allowed is colour names separated "
         "by commas (black, red, green, yellow, blue, magenta, cyan, white)"},
        {"[502]\nthreshold = 3\n", "line 2: no name"},
    };
    const std::string allowed505 =
        ": allowed is a number of characters per second, up to two decimals with a point, e.g. "
        "15.5";
    for (const char* bad : {"15.555", "15.", ".5", "15,5", "-1", "12345678.5"}) {
        std::string error;
        EXPECT_FALSE(
            parseProfile(std::string("[profile]\nname = X\n[505]\nthreshold = ") + bad, &error));
        EXPECT_EQ(error,
                  "line 4: bad threshold \"" + std::string(bad) + "\" for rule 505" + allowed505);
    }
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseProfile(c.text, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    std::string error;
    const auto own = parseProfile(
        "; mine\n[profile]\nname = Mine\nkey = mine\n[505]\ntype = info\n"
        "threshold = 12\n[506]\nenabled = no\n",
        &error);
    ASSERT_TRUE(own) << error;
    EXPECT_EQ(enabledIds(own->settings), std::set<std::int32_t>{505});
    EXPECT_EQ(own->settings.find(505)->reportType, 1);
    EXPECT_EQ(own->settings.find(505)->threshold, 12);
}

// Reading speeds have decimals: the whole part stays in threshold, the exact value beside it.
TEST(ProfileText, ReadingSpeedTakesDecimals) {
    const struct {
        const char* text;
        std::int32_t whole;
        std::int64_t hundredths;
        const char* shown;
    } cases[] = {
        {"15.5", 15, 1550, "15.5 cps"},  {"15.25", 15, 1525, "15.25 cps"},
        {"15.50", 15, 1550, "15.5 cps"}, {"17", 17, 1700, "17 cps"},
        {"0.75", 0, 75, "0.75 cps"},     {" 16.0 ", 16, 1600, "16 cps"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto profile = parseProfile(
            std::string("[profile]\nname = X\n[505]\nthreshold = ") + c.text + "\n", &error);
        ASSERT_TRUE(profile) << c.text << ": " << error;
        const DeliveryRule& rule = *profile->settings.find(505);
        EXPECT_EQ(rule.threshold, c.whole) << c.text;
        EXPECT_EQ(thresholdInHundredths(rule), c.hundredths) << c.text;
        EXPECT_EQ(thresholdText(rule), c.shown) << c.text;
    }
    // 15.5 and 15 are different profiles; a whole threshold set on its own wins over hundredths.
    const auto half = parseProfile("[profile]\nname = A\n[505]\nthreshold = 15.5\n");
    const auto whole = parseProfile("[profile]\nname = B\n[505]\nthreshold = 15\n");
    ASSERT_TRUE(half && whole);
    EXPECT_FALSE(half->settings == whole->settings);
    const std::vector<DeliveryProfile> both = {*whole, *half};
    EXPECT_EQ(matchingProfile(half->settings, both), &both[1]);
    DeliverySettings changed = half->settings;
    changed.find(505)->threshold = 20;
    EXPECT_EQ(thresholdInHundredths(*changed.find(505)), 2000);
}

// The exact threshold survives the registry; an older writer's whole value wins over it.
TEST(ProfileText, DecimalThresholdIsStoredExactly) {
    testsupport::ScopedConfigHome home;
    const std::string key = "SOFTWARE\\Test\\Delivery";
    DeliverySettings settings;
    ASSERT_TRUE(setThresholdFromText(*settings.find(505), "15.5"));
    const DeliverySettings before;
    const std::set<std::string> changed = settings.changedValues(before);
    EXPECT_EQ(changed, (std::set<std::string>{"505_Threshold", "505_ThresholdHundredths"}));
    ASSERT_TRUE(settings.saveToRegistry(key, &changed));
    DeliverySettings read;
    read.loadFromRegistry(key);
    EXPECT_EQ(thresholdInHundredths(*read.find(505)), 1550);
    EXPECT_TRUE(read == settings);
    platform::RegistryKey::open(key, true)->writeDWord("505_Threshold", 18);
    DeliverySettings older;
    older.loadFromRegistry(key);
    EXPECT_EQ(thresholdInHundredths(*older.find(505)), 1800);
}

TEST(ProfileFiles, UserProfilesAreFoundByTheirKey) {
    testsupport::ScopedConfigHome home;
    const fs::path dir = fs::path(userProfileDirectory());
    fs::create_directories(dir);
    std::ofstream(dir / "house.ini")
        << "[profile]\nname = House style\nkey = house\n[503]\nthreshold = 1200\n";
    const auto profile = findProfile("house");
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->name, "House style");
    EXPECT_EQ(findProfile("streaming")->key, "streaming");
    EXPECT_FALSE(findProfile("no-such-profile"));
}

class ProfileContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.ok()) << module.error(); }
    plugintest::SievraModule module;
    testsupport::ScopedConfigHome home;
};

TEST_F(ProfileContract, AProfileForOneRunLeavesTheStoredSettingsByteIdentical) {
    testsupport::TempDir dir;
    const std::string path =
        fileOf({subtitle(1, 0, 50), subtitle(2, 40, 100)}).writeTo(dir.file("overlap.stl"));
    // A first object creates the store as every first run does.
    module.create();
    const std::string before = readAll(platform::registryFilePath());
    ASSERT_FALSE(before.empty());

    plugintest::ReportRecorder sink;
    {
        auto control = module.create();
        auto profile = plugintest::query<IQuorvexProfile>(control.get(), iidIQuorvexProfile);
        ASSERT_TRUE(profile);
        EXPECT_EQ(profile->SelectProfile("no-such-profile"), E_INVALIDARG);
        ASSERT_EQ(profile->SelectProfile("streaming"), S_OK);
        const char* listing = nullptr;
        ASSERT_EQ(profile->GetRuleListing(&listing), S_OK);
        const std::string text = listing;
        EXPECT_NE(text.find("402\ton\tError\t\tGSI - Code Page Number check\n"), std::string::npos);
        EXPECT_NE(text.find("502\ton\tWarning\t2 frames\tTTI - Minimum gap check\n"),
                  std::string::npos);
        EXPECT_NE(text.find("508\toff\tError\t\t"), std::string::npos);

        auto reportSet = plugintest::query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
        ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
        ASSERT_EQ(control->LoadFile(path.c_str()), S_OK);
        ASSERT_EQ(control->Play(), S_OK);
        ASSERT_TRUE(plugintest::waitForProgress100(control.get()));
        control->UnloadFile();
    }
    bool overlap = false;
    for (const auto& f : sink.findings())
        overlap = overlap ||
                  f.message.rfind("[501] TTI # 1 - Subtitle 2 (10:00:01:15): Time Code In", 0) == 0;
    EXPECT_TRUE(overlap);
    EXPECT_EQ(readAll(platform::registryFilePath()), before);
}

}  // namespace
