#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stl/TextTables.h"
#include "tests/support/StlFileBuilder.h"

namespace {

GeneralSubtitleInformation gsiWith(const char* cct, const char* cpn) {
    testsupport::StlFileBuilder b;
    b.gsi(gsi::characterCodeTableNumber, cct).gsi(gsi::codePageNumber, cpn);
    GeneralSubtitleInformation gsi{};
    const auto bytes = b.bytes();
    std::copy_n(bytes.begin(), GSI_BLOCK_SIZE, gsi.bytes);
    return gsi;
}

TEST(TextTables, TheFileNamesItsTables) {
    struct Case {
        const char* cct;
        int codePage;  // 0: none
        const char* cpn;
        int gsiPage;  // 0: none
    } const cases[] = {
        {"00", 20269, "850", 850}, {"01", 28595, "437", 437}, {"02", 28596, "860", 860},
        {"03", 28597, "863", 863}, {"04", 28598, "865", 865}, {"05", 0, "852", 0},
        {"  ", 0, "   ", 0},       {"0", 0, "1252", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cct);
        const GeneralSubtitleInformation gsi = gsiWith(c.cct, c.cpn);
        const auto table = characterCodeTable(gsi);
        EXPECT_EQ(table ? table->codePage : 0, c.codePage);
        const auto page = gsiCodePage(gsi);
        EXPECT_EQ(page ? *page : 0, c.gsiPage);
    }
    EXPECT_EQ(characterCodeTableText(gsiWith("\x01"
                                             "7",
                                             "850")),
              "?7");
}

TextAndTimingInformation blockWith(std::vector<std::uint8_t> text) {
    testsupport::StlFileBuilder b;
    b.addBlock({.text = std::move(text)});
    TextAndTimingInformation block{};
    const auto bytes = b.bytes();
    std::copy_n(bytes.begin() + GSI_BLOCK_SIZE, TTI_BLOCK_SIZE, block.bytes);
    return block;
}

TEST(TextTables, SubtitleTextDecodesByTableAndShowsControlsAsBars) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> text;
        std::uint16_t codePage;
        std::u16string expected;
    } const cases[] = {
        {"Latin accents",
         {0x0D, 'M', 0xC3, 'e', 'm', 'e', 0x8A, 0x8A, 0xC2, 'e', 't', 0xC2, 'e'},
         20269,
         u"|Même||été"},
        {"accent before a control code", {'a', 0xC2, 0x8A, 'b'}, 20269, u"a´|b"},
        {"cut at unused space", {'a', 0x8F, 'b'}, 20269, u"a"},
        {"Cyrillic", {0xB0, 0xD0, 0x8A, 0xEF}, 28595, u"Аа|я"},
        {"Arabic", {0xC7, 0xE4}, 28596, u"\u0627\u0644"},
        {"Greek", {0xC1, 0xE1, 0xF9}, 28597, u"Ααω"},
        {"Hebrew", {0xE0, 0xFA}, 28598, u"\u05D0\u05EA"},
        {"fixed page as before", {'C', 'a', 'f', 0xE9, 0x8A}, 1252, u"Café|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(subtitleDisplayText(blockWith(c.text), c.codePage), c.expected);
    }
}

}  // namespace
