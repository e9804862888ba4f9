// Writes the fuzzers' starting inputs into OUTDIR/{stl,code_page,settings_file}: small files
// made here, so no sample file has to live in the repository.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/StlFileBuilder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::StlFileBuilder;

void write(const fs::path& folder, int& n, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / ("seed-" + std::to_string(n++)), std::ios::binary) << bytes;
}

std::string asString(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

StlFileBuilder::Block block(std::uint16_t number, std::string_view text) {
    StlFileBuilder::Block b;
    b.number = number;
    b.in[2] = static_cast<std::uint8_t>(number);
    b.out[2] = static_cast<std::uint8_t>(number + 1);
    b.text = StlFileBuilder::text(text);
    return b;
}

void stlSeeds(const fs::path& folder) {
    int n = 0;
    // Texts with colours, boxing, double height, line breaks and diacritics before letters,
    // spaces and the end.
    const char* texts[] = {"plain", "\x0D\x0B\x0B\x07Yellow\x0A\x0A\x8A\x80italic\x81",
                           "\xC2\x65\xC8u \xC1 \xCF", "\x1D\x1C\x84und\x85\x8A\x8A\x8F"};
    for (const char* code : {"STL25.01", "STL30.01", "STL24.01", "STL50.01"}) {
        for (const char* page : {"850", "437", "865"}) {
            StlFileBuilder file;
            file.gsi(gsi::diskFormatCode, code).gsi(gsi::codePageNumber, page);
            for (std::uint16_t i = 0; i < 4; ++i) file.addBlock(block(i + 1, texts[i]));
            write(folder, n, asString(file.announce(4).bytes()));
        }
    }
    write(folder, n, asString(StlFileBuilder().bytes()));
    write(folder, n, asString(StlFileBuilder().addBlocks(3).announce(5).bytes()));
    write(folder, n, asString(StlFileBuilder().addBlocks(2).trailing({0, 1, 2}).bytes()));
    StlFileBuilder::Block extended = block(1, "first part");
    extended.extension = 0;
    StlFileBuilder::Block bad = block(1, "second part");
    bad.in[0] = 99;
    bad.vertical = 120;
    bad.comment = 1;
    write(folder, n,
          asString(StlFileBuilder().addBlock(extended).addBlock(bad).announce(2).bytes()));
}

void codePageSeeds(const fs::path& folder) {
    int n = 0;
    for (char page : {'\x00', '\x03', '\x2A', '\x3F', '\x40', '\x50'}) {
        write(folder, n, std::string(1, page) + "Caf\xE9 \xC2\x65\x82\xA0\x8A\x81\x40");
        write(folder, n, std::string(1, page) + "\xC8\xC1 \xCF");
    }
}

void settingsSeeds(const fs::path& folder) {
    int n = 0;
    const std::string utf8 =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Vantorel\\Lumtrace]\r\n"
        "\"Left\"=dword:00000064\r\n"
        "\"Name\"=\"a \\\"quoted\\\" \\\\ text\"\r\n"
        "\"Blob\"=hex:01,02,ff,\\\r\n  00\r\n"
        "@=\"default\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Vantorel\\Lumtrace\\Sub]\r\n"
        "; comment\r\n"
        "\"Empty\"=\"\"\r\n";
    write(folder, n, utf8);
    write(folder, n, "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:ffffffff\n");
    std::string utf16 = "\xFF\xFE";
    for (char c :
         std::string("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\B]\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    write(folder, n, utf16);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path out = argv[1];
    stlSeeds(out / "stl");
    codePageSeeds(out / "code_page");
    settingsSeeds(out / "settings_file");
    return 0;
}
