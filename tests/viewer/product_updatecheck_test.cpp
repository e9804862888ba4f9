// The update check: the line rules of the published file, the version comparison, and whole
// checks against a real HTTP server on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <thread>

#include "product_fixtures.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/product/PublishedVersion.h"
#include "viewer/product/UpdateCheck.h"

using producttest::SilentServer;
using producttest::VersionFileServer;

namespace {

// Waits for the check to finish, giving up (and failing) well before any test time-out.
bool finishes(const UpdateCheck& check) {
    for (int i = 0; i < 3000 && !check.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return check.ready();
}

UpdateSource sourceFor(const std::string& url) {
    UpdateSource source;
    source.url = url;
    return source;
}

}  // namespace

struct LineRuleCase {
    const char* name;
    const char* text;
    std::optional<ProductVersion> expected;
};

// Test names show the case's name instead of its bytes.
void PrintTo(const LineRuleCase& c, std::ostream* os) {
    *os << c.name;
}

class ProductPublishedFile : public testing::TestWithParam<LineRuleCase> {};

TEST_P(ProductPublishedFile, ReadsTheProgramsLine) {
    const auto& c = GetParam();
    const auto found = parsePublishedVersion(c.text, "Lumtrace.exe");
    ASSERT_EQ(found.has_value(), c.expected.has_value());
    if (found) {
        EXPECT_EQ(*found, *c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LineRules, ProductPublishedFile,
    testing::Values(
        LineRuleCase{"plain", "Other.exe;9.9.9.9\r\nLumtrace.exe;2.1.0.0;notes\r\n",
                     ProductVersion{2, 1, 0, 0}},
        LineRuleCase{"no_final_line_end", "Lumtrace.exe;2.0.3.17", ProductVersion{2, 0, 3, 17}},
        LineRuleCase{"name_anywhere_in_line", "get Lumtrace.exe here;3.0.0.1;x\r\n",
                     ProductVersion{3, 0, 0, 1}},
        LineRuleCase{"name_in_a_later_field", "viewer;3.0.0.1;Lumtrace.exe\r\n",
                     ProductVersion{3, 0, 0, 1}},
        LineRuleCase{"letter_case_counts", "lumtrace.exe;3.0.0.1\r\n", std::nullopt},
        LineRuleCase{"lf_only_is_one_line", "Other.exe;1.0.0.0\nLumtrace.exe;2.1.0.0\n",
                     std::nullopt},
        LineRuleCase{"empty_line_hides_the_rest",
                     "Other.exe;1.0.0.0\r\n\r\nLumtrace.exe;2.1.0.0\r\n", std::nullopt},
        LineRuleCase{"empty_first_line", "\r\nLumtrace.exe;2.1.0.0\r\n", std::nullopt},
        LineRuleCase{"last_qualifying_line_wins",
                     "Lumtrace.exe;3.0.0.0\r\nLumtrace.exe;2.0.0.5\r\n",
                     ProductVersion{2, 0, 0, 5}},
        LineRuleCase{"malformed_keeps_earlier_result",
                     "Lumtrace.exe;2.2.0.0\r\nLumtrace.exe;2.3\r\nLumtrace.exe;9.0.0.0\r\n",
                     ProductVersion{2, 2, 0, 0}},
        LineRuleCase{"three_numbers", "Lumtrace.exe;2.1.0\r\n", std::nullopt},
        LineRuleCase{"five_numbers", "Lumtrace.exe;2.1.0.0.1\r\n", std::nullopt},
        LineRuleCase{"letters", "Lumtrace.exe;2.1.x.0\r\n", std::nullopt},
        LineRuleCase{"empty_number", "Lumtrace.exe;2..0.0\r\n", std::nullopt},
        LineRuleCase{"negative", "Lumtrace.exe;2.-1.0.0\r\n", std::nullopt},
        LineRuleCase{"blank_inside", "Lumtrace.exe;2.1.0.0 \r\n", std::nullopt},
        LineRuleCase{"too_large", "Lumtrace.exe;99999999999.0.0.0\r\n", std::nullopt},
        LineRuleCase{"no_version_field", "Lumtrace.exe\r\n", std::nullopt},
        LineRuleCase{"empty_text", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProductPublishedVersion, NewerDecidesByTheFirstUnequalNumber) {
    EXPECT_TRUE(isNewerVantorelVersion({2, 1, 0, 0}, {2, 0, 9, 99}));
    EXPECT_FALSE(isNewerVantorelVersion({1, 9, 9, 9}, {2, 0, 0, 0}));
    EXPECT_FALSE(isNewerVantorelVersion({2, 0, 0, 1}, {2, 0, 0, 1}));
    EXPECT_TRUE(isNewerVantorelVersion({2, 0, 1, 0}, {2, 0, 0, 400}));
    EXPECT_TRUE(isNewerVantorelVersion({2, 0, 0, 2}, {2, 0, 0, 1}));
    EXPECT_FALSE(isNewerVantorelVersion({2, 0, 0, 1}, {2, 0, 0, 2}));
    EXPECT_TRUE(isNewerVantorelVersion({10, 0, 0, 0}, {9, 99, 99, 99}));
}

TEST(ProductUpdateDownload, FetchesAndParsesThePublishedFileWithItsAgent) {
    VersionFileServer server;
    server.publish("Lumtrace;2.4.1.9;release\r\n");
    ProductVersion version;
    ASSERT_TRUE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
    EXPECT_EQ(version, (ProductVersion{2, 4, 1, 9}));
    EXPECT_EQ(server.requests(), 1);
    EXPECT_TRUE(std::regex_match(server.lastAgent(),
                                 std::regex(R"(Lumtrace_T__\d{4}_\d\d_\d\d__\d\d_\d\d_\d\d)")))
        << server.lastAgent();
    EXPECT_TRUE(
        std::regex_match(nowDateTimeToString(), std::regex(R"(_\d{4}_\d\d_\d\d__\d\d_\d\d_\d\d)")));
}

TEST(ProductUpdateDownload, ReadsAtMostTenThousandTwoHundredFortyBytes) {
    VersionFileServer server;
    const std::string line = "Lumtrace;2.4.1.9\r\n";
    const auto filler = [](std::size_t size) { return std::string(size - 2, 'x') + "\r\n"; };
    ProductVersion version;

    // The program's line ends exactly at the limit; what follows is never read.
    server.publish(filler(10240 - line.size()) + line + "Lumtrace;3.0.0.0\r\n");
    ASSERT_TRUE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
    EXPECT_EQ(version, (ProductVersion{2, 4, 1, 9}));

    // Past the limit the line is never seen, however large the file.
    server.publish(filler(10240) + line + std::string(200000, 'y'));
    EXPECT_FALSE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
}

TEST(ProductUpdateDownload, FailuresGiveFalseAndOneLine) {
    testsupport::DebugCapture capture;
    ProductVersion version;
    VersionFileServer server;
    server.publish("Lumtrace;9.0.0.0\r\n", 404);
    EXPECT_FALSE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
    EXPECT_TRUE(capture.contains("vyr: Error in GetVantorelUpdateInternetFile - HTTP status 404."));

    EXPECT_FALSE(
        getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(producttest::refusedUrl())));
    // No address configured: the check is off and says nothing.
    EXPECT_FALSE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor("")));
    // Only the web protocols are fetched.
    EXPECT_FALSE(
        getVantorelUpdateInternetFile("Lumtrace", version, sourceFor("file:///etc/hosts")));
    EXPECT_EQ(capture.lines().size(), 3u);
}

TEST(ProductUpdateDownload, AnyBytesAreSafe) {
    VersionFileServer server;
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += static_cast<char>((i * 7919) % 256);
    ProductVersion version;
    for (const std::string& body :
         {bytes, std::string("Lumtrace;2.1\0.0.0\r\n", 18),
          std::string("\xff\xfe\x80Lumtrace;;;\r\n"), std::string(";;;;\r\n\r\n"), std::string()}) {
        server.publish(body);
        EXPECT_FALSE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
    }
    // Text after a zero byte is not part of the file.
    server.publish(std::string("x\0Lumtrace;2.1.0.0\r\n", 20));
    EXPECT_FALSE(getVantorelUpdateInternetFile("Lumtrace", version, sourceFor(server.url())));
}

struct CheckCase {
    const char* name;
    const char* published;  // nullptr: the server answers 404
    bool newer;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class ProductUpdateCheck : public testing::TestWithParam<CheckCase> {};

// The running program is 2.0.9.99.
TEST_P(ProductUpdateCheck, AgainstALocalServer) {
    const auto& c = GetParam();
    VersionFileServer server;
    if (c.published)
        server.publish(c.published);
    else
        server.publish("Lumtrace.exe;9.0.0.0\r\n", 404);
    producttest::RunningProgram program(2, 0, 9, 99);
    UpdateCheck check(program.path, sourceFor(server.url()));
    ASSERT_TRUE(finishes(check));
    EXPECT_EQ(check.updateCheck(), c.newer);
    EXPECT_EQ(server.requests(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Published, ProductUpdateCheck,
    testing::Values(CheckCase{"newer", "Lumtrace.exe;2.1.0.0;new\r\n", true},
                    CheckCase{"newer_build", "Lumtrace.exe;2.0.9.100\r\n", true},
                    CheckCase{"older", "Lumtrace.exe;1.9.9.9\r\n", false},
                    CheckCase{"equal", "Lumtrace.exe;2.0.9.99\r\n", false},
                    CheckCase{"lf_only", "Readme\nLumtrace.exe;2.1.0.0\n", false},
                    CheckCase{"empty_line_before", "Readme\r\n\r\nLumtrace.exe;2.1.0.0\r\n", false},
                    CheckCase{"two_lines_later_older",
                              "Lumtrace.exe;2.1.0.0\r\nLumtrace.exe;2.0.0.0\r\n", false},
                    CheckCase{"two_lines_later_newer",
                              "Lumtrace.exe;2.0.0.0\r\nLumtrace.exe;2.1.0.0\r\n", true},
                    CheckCase{"malformed", "Lumtrace.exe;2.1.0\r\n", false},
                    CheckCase{"not_listed", "Sievra.zkx;9.0.0.0\r\n", false},
                    CheckCase{"missing_file", nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProductUpdateCheckFailures, RefusedConnectionAndProgramWithoutVersion) {
    producttest::RunningProgram program(2, 0, 0, 0);
    UpdateCheck refused(program.path, sourceFor(producttest::refusedUrl()));
    ASSERT_TRUE(finishes(refused));
    EXPECT_FALSE(refused.updateCheck());

    testsupport::DebugCapture capture;
    VersionFileServer server;
    server.publish("Lumtrace.exe;9.0.0.0\r\n");
    testsupport::TempDir dir;
    producttest::writeFile(dir.file("Lumtrace.exe"), {'M', 'Z'});
    UpdateCheck unversioned(dir.file("Lumtrace.exe"), sourceFor(server.url()));
    ASSERT_TRUE(finishes(unversioned));
    EXPECT_FALSE(unversioned.updateCheck());
    EXPECT_TRUE(capture.contains("vyr: Error in GetVantorelFileVersion call..."));
}

TEST(ProductUpdateCheckFailures, ASilentServerIsAbandonedWithoutWaiting) {
    SilentServer silent;
    producttest::RunningProgram program(2, 0, 0, 0);
    UpdateSource source = sourceFor(silent.url());
    source.transferTimeoutSeconds = 3600;  // only abandoning can end this check in time
    auto check = std::make_unique<UpdateCheck>(program.path, source);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(check->ready());
    // Freeing the check makes the transfer give up; otherwise this waits out the test's time-out.
    check.reset();
}

TEST(ProductUpdateCheckFailures, ASilentServerTimesOut) {
    SilentServer silent;
    producttest::RunningProgram program(2, 0, 0, 0);
    UpdateSource source = sourceFor(silent.url());
    source.transferTimeoutSeconds = 1;
    UpdateCheck check(program.path, source);
    ASSERT_TRUE(finishes(check));
    EXPECT_FALSE(check.updateCheck());
}

class ProductUpdateModule : public testing::Test {
protected:
    ~ProductUpdateModule() override {
        deinitializeVantorelUpdate();
        setVantorelUpdateSource(defaultVantorelUpdateSource());
    }
    // Polls as the main window does, with a bound instead of a timer.
    static bool poll(bool& newer) {
        for (int i = 0; i < 3000; ++i) {
            if (checkVantorelUpdateResult(newer)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

TEST_F(ProductUpdateModule, OneCheckFromStartToRelease) {
    VersionFileServer server;
    server.publish("Lumtrace.exe;2.1.0.0\r\n");
    producttest::RunningProgram program(2, 0, 0, 0);
    UpdateSource source = sourceFor(server.url());
    source.applicationExeName = program.path;
    setVantorelUpdateSource(source);

    bool newer = false;
    EXPECT_FALSE(checkVantorelUpdateResult(newer));  // nothing started yet
    ASSERT_TRUE(initializeVantorelUpdate());
    EXPECT_FALSE(initializeVantorelUpdate());  // one check at a time
    ASSERT_TRUE(poll(newer));
    EXPECT_TRUE(newer);
    EXPECT_TRUE(deinitializeVantorelUpdate());
    EXPECT_FALSE(checkVantorelUpdateResult(newer));
    EXPECT_EQ(server.requests(), 1);
}

TEST_F(ProductUpdateModule, ReleasingAStalledCheckDoesNotWait) {
    SilentServer silent;
    UpdateSource source = sourceFor(silent.url());
    source.transferTimeoutSeconds = 3600;
    setVantorelUpdateSource(source);
    ASSERT_TRUE(initializeVantorelUpdate());
    bool newer = true;
    EXPECT_FALSE(checkVantorelUpdateResult(newer));
    EXPECT_TRUE(deinitializeVantorelUpdate());
    EXPECT_FALSE(checkVantorelUpdateResult(newer));
}

TEST_F(ProductUpdateModule, WithoutAServerTheCheckEndsWithNoUpdateAndNoLine) {
    testsupport::DebugCapture capture;
    setVantorelUpdateSource(sourceFor(""));
    ASSERT_TRUE(initializeVantorelUpdate());
    bool newer = true;
    ASSERT_TRUE(poll(newer));
    EXPECT_FALSE(newer);
    EXPECT_TRUE(capture.lines().empty());
}
