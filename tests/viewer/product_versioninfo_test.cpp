// Reading version blocks: blocks and a PE file built here, and the deliverables of this build.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "product_fixtures.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/product/VersionInfo.h"
#include "viewer/product/VersionResource.h"

using producttest::peWithVersionResource;
using producttest::versionBlockFor;
using producttest::writeFile;

namespace {

versionblock::Bytes blockWith(const versionblock::FixedInfo& fixed) {
    return versionblock::versionBlock(fixed, {{0x0409, 1200}, {0x0407, 1252}},
                                      {{"CompanyName", "Vantorel"},
                                       {"FileDescription", "Caf\u00e9 \u2013 viewer"},
                                       {"Comments", ""}});
}

std::string versionText(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                        std::uint16_t build) {
    versionblock::FixedInfo fixed;
    fixed.major = major, fixed.minor = minor, fixed.release = release, fixed.build = build;
    return VersionInfo::fromVersionData(blockWith(fixed)).fileVersion();
}

std::string osText(std::uint32_t os) {
    versionblock::FixedInfo fixed;
    fixed.os = os;
    return VersionInfo::fromVersionData(blockWith(fixed)).fileOs();
}

std::string typeText(std::uint32_t type, std::uint32_t subtype) {
    versionblock::FixedInfo fixed;
    fixed.type = type, fixed.subtype = subtype;
    return VersionInfo::fromVersionData(blockWith(fixed)).fileType();
}

// The message of the exception E that reading the block raises, or "" when none is raised.
template <class E>
std::string failureOf(const versionblock::Bytes& block) {
    try {
        VersionInfo::fromVersionData(block);
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ProductVersionInfo, FileVersionDropsAZeroRelease) {
    EXPECT_EQ(versionText(2, 0, 0, 145), "Version 2.0 (build 145)");
    EXPECT_EQ(versionText(2, 1, 3, 7), "Version 2.1.3 (build 7)");
    EXPECT_EQ(versionText(65535, 0, 65535, 65535), "Version 65535.0.65535 (build 65535)");
}

TEST(ProductVersionInfo, OperatingSystemWords) {
    EXPECT_EQ(osText(0), "Unknown");
    EXPECT_EQ(osText(0x00040004), "Windows32 (NT)");
    EXPECT_EQ(osText(0x00040000), "NT");
    EXPECT_EQ(osText(0x00000001), "Windows16");
    EXPECT_EQ(osText(0x00010001), "Windows16 (DOS)");
    EXPECT_EQ(osText(0x00020002), "PM16 (OS2-16)");
    EXPECT_EQ(osText(0x00030003), "PM32 (OS2-32)");
    EXPECT_EQ(osText(0x00050000), "Unknown");
    EXPECT_EQ(osText(0x00040009), "Unknown (NT)");
}

TEST(ProductVersionInfo, FileTypesAndSubtypes) {
    EXPECT_EQ(typeText(1, 0), "Application");
    EXPECT_EQ(typeText(2, 0), "DLL");
    EXPECT_EQ(typeText(3, 0), "Device driver");
    EXPECT_EQ(typeText(3, 1), "Printer driver");
    EXPECT_EQ(typeText(3, 10), "Comm driver");
    EXPECT_EQ(typeText(3, 11), "Unknown driver");
    EXPECT_EQ(typeText(4, 0), "Font");
    EXPECT_EQ(typeText(4, 3), "Truetype font");
    EXPECT_EQ(typeText(4, 4), "Unknown font");
    EXPECT_EQ(typeText(5, 0x2A), "Virtual device (0000002a)");
    EXPECT_EQ(typeText(6, 0), "Unknown");
    EXPECT_EQ(typeText(7, 0), "Static-link library");
    EXPECT_EQ(typeText(0, 0), "Unknown");
}

TEST(ProductVersionInfo, FlagsAreNamedInFixedOrderAndUnmasked) {
    versionblock::FixedInfo fixed;
    fixed.flagsMask = 0;  // the names come from the flags word alone
    fixed.flags = 0x3F;
    const auto info = VersionInfo::fromVersionData(blockWith(fixed));
    EXPECT_EQ(info.fileFlags(), (std::vector<std::string>{"DEBUG", "PATCHED", "PRERELEASE",
                                                          "PRIVATEBUILD", "SPECIALBUILD"}));
    EXPECT_TRUE(VersionInfo::fromVersionData(versionBlockFor(1, 0, 0, 0)).fileFlags().empty());
}

TEST(ProductVersionInfo, TranslationsAndStringValues) {
    const auto info = VersionInfo::fromVersionData(blockWith({}));
    EXPECT_EQ(info.numLanguages(), 2);
    ASSERT_EQ(info.transTable().size(), 2u);
    EXPECT_EQ(info.transTable()[1].language, 0x0407);
    EXPECT_EQ(info.transTable()[1].charSet, 1252);
    EXPECT_EQ(info.languageName(), "English (United States)");
    EXPECT_EQ(info.value(VersionNames::verCompanyName), "Vantorel");
    EXPECT_EQ(info.values("FileDescription"), "Caf\u00e9 \u2013 viewer");
    EXPECT_EQ(info.values("Comments"), "");
    EXPECT_EQ(info.value(VersionNames::verLegalTrademarks), "");  // absent key
    EXPECT_EQ(info.values("NoSuchKey"), "");
}

TEST(ProductVersionInfo, LanguageNamesFallBackToThePrimaryLanguage) {
    EXPECT_EQ(versionresource::languageName(0x0409), "English (United States)");
    EXPECT_EQ(versionresource::languageName(0x0C0C), "French (Canada)");
    EXPECT_EQ(versionresource::languageName(0x4409), "English");  // unlisted region
    EXPECT_EQ(versionresource::languageName(0x03FF), "Unknown language");
}

TEST(ProductVersionInfo, MalformedBlocksRaiseTheirMessages) {
    EXPECT_EQ(failureOf<ENoVersion>({}), "No version information");

    // The root is not a version block at all.
    const auto info = versionblock::fixedInfoBytes({});
    const auto wrongRoot = versionblock::node("VS_VERSIONINFO", 0, info, 52,
                                              {versionblock::varFileInfo({{0x0409, 1200}})});
    EXPECT_EQ(failureOf<EVersion>(wrongRoot), "Error geting fixed version info");

    // The root carries no fixed information, or too little of it.
    const auto noFixed = versionblock::node("VS_VERSION_INFO", 0, {}, 0,
                                            {versionblock::varFileInfo({{0x0409, 1200}})});
    EXPECT_EQ(failureOf<EVersion>(noFixed), "Bad fixed version info size");

    auto shortFixed = versionblock::fixedInfoBytes({});
    shortFixed.resize(48);
    const auto tooShort = versionblock::node("VS_VERSION_INFO", 0, shortFixed, 48,
                                             {versionblock::varFileInfo({{0x0409, 1200}})});
    EXPECT_EQ(failureOf<EVersion>(tooShort), "Bad fixed version info size");

    const auto noTranslation = versionblock::node("VS_VERSION_INFO", 0, info, 52);
    EXPECT_EQ(failureOf<EVersion>(noTranslation), "Bad translation in version info");

    // A block cut short claims more bytes than it has: nothing can be found in it.
    auto cut = versionBlockFor(2, 0, 0, 1);
    cut.resize(cut.size() / 2);
    EXPECT_EQ(failureOf<EVersion>(cut), "Error geting fixed version info");
}

TEST(ProductVersionInfo, ReadsTheVersionResourceOfAPeFile) {
    testsupport::TempDir dir;
    const auto block = versionBlockFor(2, 1, 3, 7);
    const auto pe = peWithVersionResource(block);
    EXPECT_EQ(versionresource::versionBlockFromPe(pe), block);

    writeFile(dir.file("Lumtrace.exe"), pe);
    const VersionInfo info(dir.file("Lumtrace.exe"));
    EXPECT_EQ(info.fileVersion(), "Version 2.1.3 (build 7)");
    EXPECT_EQ(info.value(VersionNames::verProductName), "Lumtrace");
}

TEST(ProductVersionInfo, FilesWithoutAUsableBlockRaiseNoVersion) {
    testsupport::TempDir dir;
    const auto pe = peWithVersionResource(versionBlockFor(2, 0, 0, 1));
    std::vector<std::pair<std::string, versionblock::Bytes>> files = {
        {"text.txt", {'h', 'e', 'l', 'l', 'o'}},
        {"empty.exe", {}},
        {"truncated.exe", versionblock::Bytes(pe.begin(), pe.begin() + 0x240)},
        {"mz-only.exe", versionblock::Bytes(pe.begin(), pe.begin() + 0x40)},
    };
    // The version entry of the resource directory points far outside the file.
    auto wild = pe;
    for (int i = 0; i < 4; ++i) wild[0x200 + 28 + i] = i == 0 ? 0xF0 : 0xFF;
    files.push_back({"wild.exe", wild});
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        writeFile(dir.file(name), bytes);
        EXPECT_THROW(VersionInfo{dir.file(name)}, ENoVersion);
    }
    EXPECT_THROW(VersionInfo{dir.file("missing.exe")}, ENoVersion);
    // The test program itself is an ELF file without the section.
    EXPECT_THROW(VersionInfo{}, ENoVersion);
}

TEST(ProductVersionInfo, BuiltBinariesCarryTheBuildVersion) {
    unsigned major = 0, minor = 0, release = 0, build = 0;
    ASSERT_EQ(std::sscanf(LUMTRACE_BUILT_VERSION, "%u.%u.%u.%u", &major, &minor, &release, &build),
              4);
    struct Binary {
        const char* path;
        const char* fileName;
        const char* type;
    };
    for (const Binary& binary : {Binary{LUMTRACE_PROGRAM_FILE, "Lumtrace", "Application"},
                                 Binary{LUMTRACE_PLUGIN_FILE, "Sievra.zkx", "DLL"}}) {
        SCOPED_TRACE(binary.path);
        const VersionInfo info(binary.path);
        EXPECT_EQ(info.major(), major);
        EXPECT_EQ(info.minor(), minor);
        EXPECT_EQ(info.release(), release);
        EXPECT_EQ(info.build(), build);
        EXPECT_EQ(info.fixedInfo().dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(info.fileType(), binary.type);
        EXPECT_EQ(info.fileOs(), "Unknown");
        EXPECT_EQ(info.numLanguages(), 1);
        EXPECT_EQ(info.languageName(), "English (United States)");
        EXPECT_EQ(info.value(VersionNames::verFileVersion), LUMTRACE_BUILT_VERSION);
        EXPECT_EQ(info.value(VersionNames::verProductVersion), LUMTRACE_BUILT_VERSION);
        EXPECT_EQ(info.value(VersionNames::verOriginalFilename), binary.fileName);
        EXPECT_EQ(info.value(VersionNames::verCompanyName), "Vantorel");
        EXPECT_EQ(info.value(VersionNames::verProductName), "Lumtrace");
    }
}
