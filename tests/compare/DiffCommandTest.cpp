// Runs lumtrace-diff as a child process: exit codes, the three formats, and a real file against
// copies of itself edited here.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "CompareFixtures.h"
#include "tests/cli/ProcessRunner.h"
#include "tests/support/TestEnvironment.h"

namespace {

using clitest::runProcess;
using json = nlohmann::json;
namespace fs = std::filesystem;

const std::string DIFF = LUMTRACE_DIFF_PATH;

class DiffCommandTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(DiffCommandTest, ExitStatusSaysWhetherAnythingDiffers) {
    auto subs = comparetest::sixSubtitles();
    const std::string a = comparetest::writeFile(subs, dir.file("a.stl"));
    const std::string same = comparetest::writeFile(subs, dir.file("same.stl"));
    subs[2].text = "Nobody saw you at home.";
    const std::string b = comparetest::writeFile(subs, dir.file("b.stl"));
    std::ofstream(dir.file("short.stl")) << "not a subtitle file";

    const auto equal = runProcess(DIFF, {a, same});
    EXPECT_EQ(equal.exitStatus, 0);
    EXPECT_EQ(equal.out, "");
    const auto changed = runProcess(DIFF, {a, b});
    EXPECT_EQ(changed.exitStatus, 1);
    EXPECT_EQ(changed.out,
              "2 00:00:05:00-00:00:06:00 | 2 00:00:05:00-00:00:06:00 text: removed "
              "\"there.\", added \"at home.\"\n");
    for (const auto& arguments : std::vector<std::vector<std::string>>{{a, dir.file("missing.stl")},
                                                                       {dir.file("short.stl"), a},
                                                                       {"--tolerance", "-1", a, b},
                                                                       {"--format", "xml", a, b},
                                                                       {a}}) {
        const auto trouble = runProcess(DIFF, arguments);
        EXPECT_EQ(trouble.exitStatus, 2) << arguments.back();
        EXPECT_EQ(clitest::splitLines(trouble.err).size(), 1u) << trouble.err;
        EXPECT_EQ(trouble.err.rfind("lumtrace-diff: ", 0), 0u) << trouble.err;
    }
    EXPECT_NE(runProcess(DIFF, {a, dir.file("missing.stl")}).err.find("missing.stl: "),
              std::string::npos);
    EXPECT_EQ(runProcess(DIFF, {"--version"}).out, "lumtrace-diff " EXPECTED_VERSION "\n");
    const auto help = runProcess(DIFF, {"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--tolerance"), std::string::npos);
}

TEST_F(DiffCommandTest, JsonAndHtmlCarryTheSameFindings) {
    auto subs = comparetest::sixSubtitles();
    const std::string a = comparetest::writeFile(subs, dir.file("a.stl"));
    for (auto& s : subs) s.in += 10, s.out += 10;
    subs[2].text = "Nobody saw <you> at home.";
    subs.erase(subs.begin() + 4);
    const std::string b = comparetest::writeFile(subs, dir.file("b.stl"));

    const auto run = runProcess(DIFF, {"--format", "json", a, b});
    EXPECT_EQ(run.exitStatus, 1);
    const json report = json::parse(run.out);
    EXPECT_EQ(report["offset"], json({{"frames", 10}, {"timeCode", "+00:00:00:10"}}));
    ASSERT_EQ(report["differences"].size(), 3u);
    EXPECT_EQ(report["differences"][0]["field"], "TotalNumberOfTTI");
    const json& text = report["differences"][1];
    EXPECT_EQ(text["kind"], "text");
    EXPECT_EQ(text["a"], json({{"subtitles", {2}}, {"in", "00:00:05:00"}, {"out", "00:00:06:00"}}));
    EXPECT_EQ(text["b"], json({{"subtitles", {2}}, {"in", "00:00:05:10"}, {"out", "00:00:06:10"}}));
    EXPECT_EQ(text["addedWords"], json({"<you>", "at", "home."}));
    EXPECT_EQ(report["differences"][2]["kind"], "removed");
    EXPECT_TRUE(report["differences"][2]["b"].is_null());

    const auto html = runProcess(DIFF, {"--format", "html", a, b});
    EXPECT_EQ(html.exitStatus, 1);
    for (const char* part : {"<del>you</del>", "<ins>&lt;you&gt;</ins>", "<ins>home.</ins>",
                             "B is A shifted by +00:00:00:10 (10 frames)", "<style>"})
        EXPECT_NE(html.out.find(part), std::string::npos) << part;
    EXPECT_EQ(html.out.find("<script"), std::string::npos);
}

TEST_F(DiffCommandTest, ManualDocumentsTheOptionsOfTheHelp) {
    const std::string help = runProcess(DIFF, {"--help"}).out;
    std::ifstream in(LUMTRACE_MAN_PAGE);
    const std::string page(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(page.empty());
    for (const char* option :
         {"\\-\\-format", "\\-\\-tolerance", "\\-\\-no\\-offset", "\\-\\-help", "\\-\\-version"}) {
        std::string plain = option;
        for (std::size_t at; (at = plain.find('\\')) != std::string::npos;) plain.erase(at, 1);
        EXPECT_NE(help.find(plain), std::string::npos) << plain;
        EXPECT_NE(page.find(option), std::string::npos) << option;
    }
}

// A real file and copies of it edited byte by byte.
class CorpusDiffTest : public DiffCommandTest {
protected:
    void SetUp() override {
        const fs::path file =
            fs::path(LUMTRACE_CORPUS_DIR) / "noophq-subtitle__test-files_Chickie_24_enSDH.stl";
        if (!fs::exists(file))
            GTEST_SKIP() << file << " not found: the corpus comparison is not checked";
        original = dir.file("original.stl");
        fs::copy_file(file, original);
        std::ifstream in(original, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(bytes.substr(3, 8), "STL24.01");
    }

    std::string write(const std::string& name) const {
        std::ofstream(dir.file(name), std::ios::binary) << bytes;
        return dir.file(name);
    }
    std::size_t blocks() const { return (bytes.size() - 1024) / 128; }
    char* block(std::size_t n) { return bytes.data() + 1024 + 128 * n; }
    // Time code at Offset of a block moved by Frames at 24 fps.
    void shift(char* tc, int frames) {
        int total = ((tc[0] * 60 + tc[1]) * 60 + tc[2]) * 24 + tc[3] + frames;
        tc[3] = char(total % 24), total /= 24;
        tc[2] = char(total % 60), total /= 60;
        tc[1] = char(total % 60), tc[0] = char(total / 60);
    }
    // A one-block subtitle whose text has a space between two letters.
    std::size_t simpleBlock(std::size_t from) {
        for (std::size_t n = from; n < blocks(); ++n) {
            const std::string text(block(n) + 16, 112);
            if (std::uint8_t(block(n)[3]) == 0xFF && block(n)[15] == 0 &&
                text.find(" ") != std::string::npos && std::isalpha(text[text.find(" ") - 1]) &&
                std::isalpha(text[text.find(" ") + 1]))
                return n;
        }
        return 0;
    }
    json diff(const std::string& b) {
        const auto run = runProcess(DIFF, {"--format", "json", original, b});
        EXPECT_EQ(run.err, "");
        exitStatus = run.exitStatus;
        return json::parse(run.out);
    }

    std::string original, bytes;
    int exitStatus = -1;
};

TEST_F(CorpusDiffTest, ItselfShiftedOrEdited) {
    const json same = diff(original);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(same["offset"]["frames"], 0);
    EXPECT_TRUE(same["differences"].empty());

    const std::string unshifted = bytes;
    for (std::size_t n = 0; n < blocks(); ++n) shift(block(n) + 5, 10), shift(block(n) + 9, 10);
    const json shifted = diff(write("shifted.stl"));
    EXPECT_EQ(exitStatus, 1);
    EXPECT_EQ(shifted["offset"]["frames"], 10);
    EXPECT_EQ(shifted["offset"]["timeCode"], "+00:00:00:10");
    EXPECT_TRUE(shifted["differences"].empty()) << shifted["differences"].dump(1);

    bytes = unshifted;
    const std::size_t edited = simpleBlock(20);
    ASSERT_GT(edited, 0u);
    char* letter = block(edited) + 16 + std::string(block(edited) + 16, 112).find(" ") - 1;
    *letter = *letter == 'x' ? 'y' : 'x';
    const json changed = diff(write("changed.stl"));
    EXPECT_EQ(exitStatus, 1);
    ASSERT_EQ(changed["differences"].size(), 1u) << changed["differences"].dump(1);
    EXPECT_EQ(changed["differences"][0]["kind"], "text");

    // The subtitle's text cut at its space into two blocks, each with half the time.
    bytes = unshifted;
    const std::size_t cut = simpleBlock(30);
    ASSERT_GT(cut, 0u);
    std::string first(block(cut), 128), second = first;
    const std::size_t space = first.find(" ", 16);
    first.replace(space, 128 - space, std::string(128 - space, '\x8F'));
    second.replace(16, space + 1 - 16, "");
    second.append(space + 1 - 16, '\x8F');
    const int half = (((second[9] - second[5]) * 60 + (second[10] - second[6])) * 60 +
                      (second[11] - second[7])) *
                         24 +
                     (second[12] - second[8]);
    std::copy(first.begin() + 5, first.begin() + 9, first.begin() + 9);
    shift(first.data() + 9, half / 2);
    std::copy(first.begin() + 9, first.begin() + 13, second.begin() + 5);
    bytes.replace(1024 + 128 * cut, 128, first + second);
    const json split = diff(write("split.stl"));
    EXPECT_EQ(exitStatus, 1);
    int splits = 0;
    for (const json& d : split["differences"]) {
        splits += d["kind"] == "split";
        EXPECT_TRUE(d["kind"] == "split" || d.value("field", "") == "TotalNumberOfTTI" ||
                    d.value("field", "") == "TotalNumberOfSubtitles")
            << d.dump();
    }
    EXPECT_EQ(splits, 1) << split["differences"].dump(1);
}

}  // namespace
